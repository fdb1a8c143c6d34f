#include "util/cadenas.h"

#include <stdexcept>

#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix {

std::u16string conSeparador(std::u16string carpeta) {
    if (carpeta.empty() || (carpeta.back() != u'/' && carpeta.back() != u'\\')) {
        carpeta += kSeparador;
    }
    return carpeta;
}

bool existeArchivo(std::u16string_view ruta) {
    return archivos::esArchivo(ruta);
}

std::u16string nombreArchivo(std::u16string_view ruta) {
    const std::int64_t p = std::max(buscarAtras(ruta, u"\\"), buscarAtras(ruta, u"/"));
    return texto::minusculas(ruta.substr(static_cast<std::size_t>(p)));
}

std::int64_t buscarAtras(std::u16string_view texto, std::u16string_view buscado,
                         std::int64_t inicio) {
    if (texto.empty() || buscado.size() > texto.size()) {
        return 0;
    }
    std::size_t p = texto.size() - buscado.size();  // 0-based: the last place it fits
    if (inicio >= 1) {
        p = std::min(p, static_cast<std::size_t>(inicio - 1));
    }
    if (buscado.empty()) {
        return static_cast<std::int64_t>(p) + 1;
    }
    const std::size_t hallado = texto.substr(0, p + buscado.size()).rfind(buscado);
    return hallado == std::u16string_view::npos ? 0 : static_cast<std::int64_t>(hallado) + 1;
}

void reemplazar(std::string& texto, std::string_view buscado, std::string_view reemplazo,
                std::size_t desde) {
    if (buscado.empty()) {
        return;
    }
    if (reemplazo.size() > buscado.size()) {
        throw std::invalid_argument("reemplazar: el reemplazo es más largo");
    }
    const auto inicio = texto.begin() + static_cast<std::ptrdiff_t>(desde);
    if (buscado.size() == 1 && reemplazo.size() == 1) {
        std::replace(inicio, texto.end(), buscado[0], reemplazo[0]);
        return;
    }
    if (buscado.size() == 1 && reemplazo.empty()) {
        texto.erase(std::remove(inicio, texto.end(), buscado[0]), texto.end());
        return;
    }
    const std::string_view vista(texto);
    std::size_t hallado = vista.find(buscado, desde);
    if (hallado == std::string_view::npos) {
        return;  // one scan, no copy
    }
    // The write position never passes the read position, since nothing grows.
    std::size_t escrito = hallado;
    std::size_t leido = hallado;
    while (hallado != std::string_view::npos) {
        if (hallado > leido) {
            std::char_traits<char>::move(texto.data() + escrito, texto.data() + leido,
                                         hallado - leido);
            escrito += hallado - leido;
        }
        std::char_traits<char>::copy(texto.data() + escrito, reemplazo.data(), reemplazo.size());
        escrito += reemplazo.size();
        leido = hallado + buscado.size();
        hallado = vista.find(buscado, leido);
    }
    std::char_traits<char>::move(texto.data() + escrito, texto.data() + leido,
                                 texto.size() - leido);
    texto.resize(escrito + texto.size() - leido);
}

}  // namespace tralmix
