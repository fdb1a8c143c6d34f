#include "util/cadenas.h"

#include <algorithm>
#include <stdexcept>

#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix {
namespace {

constexpr auto npos = std::u16string_view::npos;

// Case-blind comparison of one code unit, by the lower-case mapping of each alone; a mapping
// that changes the length (U+0130) leaves the unit as it is.
bool igualSinMayusculas(char16_t a, char16_t b) {
    if (a == b) {
        return true;
    }
    auto menor = [](char16_t c) {
        const std::u16string m = texto::minusculas(std::u16string_view(&c, 1));
        return m.size() == 1 ? m[0] : c;
    };
    return menor(a) == menor(b);
}

bool igualEn(std::u16string_view texto, std::size_t pos, std::u16string_view buscado, int modo) {
    if (modo == kCompararExacto) {
        return texto.compare(pos, buscado.size(), buscado) == 0;
    }
    for (std::size_t k = 0; k < buscado.size(); ++k) {
        if (!igualSinMayusculas(texto[pos + k], buscado[k])) {
            return false;
        }
    }
    return true;
}

std::size_t buscar(std::u16string_view texto, std::u16string_view buscado, std::size_t desde,
                   int modo) {
    if (modo == kCompararExacto) {
        return texto.find(buscado, desde);
    }
    if (buscado.size() > texto.size()) {
        return npos;
    }
    for (std::size_t p = desde; p + buscado.size() <= texto.size(); ++p) {
        if (igualEn(texto, p, buscado, modo)) {
            return p;
        }
    }
    return npos;
}

}  // namespace

bool existeArchivo(std::u16string_view ruta) {
    return archivos::esArchivo(ruta);
}

std::u16string nombreArchivo(std::u16string_view ruta) {
    const std::int64_t barraInvertida = buscarAtras(ruta, u"\\");
    const std::int64_t barra = buscarAtras(ruta, u"/");
    const auto p = static_cast<std::size_t>(std::max(barraInvertida, barra));
    return texto::minusculas(ruta.substr(p));
}

std::int64_t buscarAtras(std::u16string_view texto, std::u16string_view buscado,
                         std::int64_t inicio, int modo) {
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
    for (;;) {
        if (igualEn(texto, p, buscado, modo)) {
            return static_cast<std::int64_t>(p) + 1;
        }
        if (p == 0) {
            return 0;
        }
        --p;
    }
}

std::u16string reemplazar(std::u16string_view texto, std::u16string_view buscado,
                          std::u16string_view reemplazo, std::int64_t inicio, std::int64_t cantidad,
                          int modo) {
    if (inicio < 1) {
        inicio = 1;
    }
    if (static_cast<std::uint64_t>(inicio) > texto.size()) {
        return {};
    }
    std::size_t desde = static_cast<std::size_t>(inicio - 1);
    std::size_t hallado =
        buscado.empty() || cantidad == 0 ? npos : buscar(texto, buscado, desde, modo);
    if (hallado == npos) {
        return std::u16string(texto);
    }
    // Built in one pass: every piece is copied once, whatever the number of replacements.
    std::u16string resultado;
    resultado.reserve(reemplazo.size() > buscado.size() ? texto.size() + texto.size() / 2
                                                        : texto.size());
    std::size_t copiado = 0;
    std::int64_t hechos = 0;
    while (hallado != npos) {
        resultado.append(texto.substr(copiado, hallado - copiado));
        resultado.append(reemplazo);
        copiado = hallado + buscado.size();
        ++hechos;
        if (cantidad >= 0 && hechos >= cantidad) {
            break;
        }
        hallado = buscar(texto, buscado, copiado, modo);
    }
    resultado.append(texto.substr(copiado));
    return resultado;
}

namespace {

template <typename Caracter>
void enSitio(std::basic_string<Caracter>& texto, std::basic_string_view<Caracter> buscado,
             std::basic_string_view<Caracter> reemplazo) {
    using Rasgos = std::char_traits<Caracter>;
    constexpr auto nada = std::basic_string_view<Caracter>::npos;
    if (buscado.size() == 1 && reemplazo.size() == 1) {
        std::replace(texto.begin(), texto.end(), buscado[0], reemplazo[0]);
        return;
    }
    if (buscado.size() == 1 && reemplazo.empty()) {
        std::erase(texto, buscado[0]);
        return;
    }
    const std::basic_string_view<Caracter> vista(texto);
    std::size_t hallado = buscarEn(vista, buscado, 0);
    if (hallado == nada) {
        return;  // one scan, no copy
    }
    // The write position never passes the read position, since nothing grows.
    std::size_t escrito = hallado;
    std::size_t leido = hallado;
    while (hallado != nada) {
        if (hallado > leido) {
            Rasgos::move(texto.data() + escrito, texto.data() + leido, hallado - leido);
            escrito += hallado - leido;
        }
        Rasgos::copy(texto.data() + escrito, reemplazo.data(), reemplazo.size());
        escrito += reemplazo.size();
        leido = hallado + buscado.size();
        hallado = buscarEn(vista, buscado, leido);
    }
    Rasgos::move(texto.data() + escrito, texto.data() + leido, texto.size() - leido);
    escrito += texto.size() - leido;
    texto.resize(escrito);
}

}  // namespace

void reemplazarEnSitio(std::u16string& texto, std::u16string_view buscado,
                       std::u16string_view reemplazo) {
    if (buscado.empty() || reemplazo.size() > buscado.size()) {
        texto = reemplazar(texto, buscado, reemplazo);
        return;
    }
    enSitio(texto, buscado, reemplazo);
}

void reemplazarEnSitio(std::string& texto, std::string_view buscado, std::string_view reemplazo) {
    if (buscado.empty()) {
        return;
    }
    if (reemplazo.size() > buscado.size()) {
        throw std::invalid_argument("reemplazarEnSitio: el reemplazo es más largo");
    }
    enSitio(texto, buscado, reemplazo);
}

void partir(std::u16string_view texto, std::u16string_view delimitador,
            std::vector<std::u16string>& lineas, std::int64_t& indice) {
    std::size_t piezas = 1;
    if (!delimitador.empty()) {
        for (std::size_t p = texto.find(delimitador); p != npos;
             p = texto.find(delimitador, p + delimitador.size())) {
            ++piezas;
        }
    }
    lineas.resize(static_cast<std::size_t>(std::max<std::int64_t>(indice, 0)));
    lineas.reserve(lineas.size() + piezas);
    std::size_t inicio = 0;
    if (!delimitador.empty()) {
        for (std::size_t p = texto.find(delimitador); p != npos;
             p = texto.find(delimitador, inicio)) {
            lineas.emplace_back(texto.substr(inicio, p - inicio));
            inicio = p + delimitador.size();
        }
    }
    lineas.emplace_back(texto.substr(inicio));
    indice = static_cast<std::int64_t>(lineas.size());
}

std::u16string cargarArchivo(std::vector<std::u16string>& lineas, std::u16string_view ruta) {
    std::string bytes;
    if (const auto fallo = archivos::leerTodo(ruta, bytes)) {
        return fallo.motivo;
    }
    if (bytes.empty()) {
        lineas.clear();
        lineas.shrink_to_fit();
        return {};
    }
    std::u16string contenido;
    if (!texto::desdeUtf8(bytes, contenido)) {
        return u"el archivo no es texto UTF-8 válido";
    }
    bytes.clear();
    bytes.shrink_to_fit();
    std::vector<std::u16string> piezas;
    std::int64_t indice = 0;
    partir(contenido, u"\r\n", piezas, indice);
    lineas = std::move(piezas);
    return {};
}

std::int64_t contarElementos(const std::vector<std::u16string>& lineas) {
    return static_cast<std::int64_t>(lineas.size());
}

}  // namespace tralmix
