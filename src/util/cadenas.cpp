#include "util/cadenas.h"

#include <bit>
#include <cstring>
#include <stdexcept>

#include "util/archivos.h"
#include "util/memoria.h"
#include "util/texto.h"
#include "util/vectores.h"

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

std::size_t buscar(std::string_view texto, std::string_view buscado, std::size_t desde) {
    const std::size_t n = texto.size();
    const std::size_t m = buscado.size();
    if (m < 2 || desde > n || std::endian::native != std::endian::little) {
        return texto.find(buscado, desde);
    }
    const auto b0 = static_cast<unsigned char>(buscado[0]);
    const auto b1 = static_cast<unsigned char>(buscado[1]);
    std::size_t i = desde;
    for (; i + vectores::kAncho + 1 <= n; i += vectores::kAncho) {
        const vectores::Vector v = vectores::cargar(texto.data() + i);
        const vectores::Vector w = vectores::cargar(texto.data() + i + 1);
        for (unsigned marcas = vectores::bits(vectores::iguales(v, b0) & vectores::iguales(w, b1));
             marcas != 0; marcas &= marcas - 1) {
            const std::size_t p = i + vectores::primera(marcas);
            if (p + m <= n && texto.compare(p + 2, m - 2, buscado.substr(2)) == 0) {
                return p;
            }
        }
    }
    for (; i + 9 <= n; i += 8) {
        std::uint64_t v = 0;
        std::uint64_t w = 0;
        std::memcpy(&v, texto.data() + i, 8);
        std::memcpy(&w, texto.data() + i + 1, 8);
        for (std::uint64_t marcas = iguales(v, b0) & iguales(w, b1); marcas != 0;
             marcas &= marcas - 1) {
            const std::size_t p = i + static_cast<std::size_t>(std::countr_zero(marcas)) / 8;
            if (p + m <= n && texto.compare(p + 2, m - 2, buscado.substr(2)) == 0) {
                return p;
            }
        }
    }
    // The last few places, one by one.
    for (; i + m <= n; ++i) {
        if (texto[i] == buscado[0] && texto.compare(i + 1, m - 1, buscado.substr(1)) == 0) {
            return i;
        }
    }
    return std::string_view::npos;
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
    std::size_t hallado = buscar(vista, buscado, desde);
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
        hallado = buscar(vista, buscado, leido);
    }
    std::char_traits<char>::move(texto.data() + escrito, texto.data() + leido,
                                 texto.size() - leido);
    texto.resize(escrito + texto.size() - leido);
}

}  // namespace tralmix
