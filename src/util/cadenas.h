#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tralmix {

// Position of the first buscado in texto at or after desde, npos when there is none: what
// basic_string_view::find answers. On the short lines the extraction works on, a plain loop beats
// one library call per candidate first character; long texts go to the library.
template <typename Caracter>
std::size_t buscarEn(std::basic_string_view<Caracter> texto,
                     std::basic_string_view<Caracter> buscado, std::size_t desde) {
    constexpr std::size_t kCorto = 256;
    if (texto.size() > kCorto || buscado.empty()) {
        return texto.find(buscado, desde);
    }
    for (std::size_t i = desde; i + buscado.size() <= texto.size(); ++i) {
        if (texto[i] == buscado[0] &&
            std::equal(buscado.begin() + 1, buscado.end(),
                       texto.begin() + static_cast<std::ptrdiff_t>(i) + 1)) {
            return i;
        }
    }
    return std::basic_string_view<Caracter>::npos;
}

// Comparison modes of buscarAtras and reemplazar.
inline constexpr int kCompararExacto = 0;
inline constexpr int kCompararSinMayusculas = 1;

// True when the path names an existing file (not a folder); every failure answers false.
bool existeArchivo(std::u16string_view ruta);

// The file name part of a path (after its last "\" or "/"), lower-cased.
std::u16string nombreArchivo(std::u16string_view ruta);

// 1-based position of the last occurrence of buscado that starts at or before inicio
// (inicio < 1: anywhere); 0 when there is none.
std::int64_t buscarAtras(std::u16string_view texto, std::u16string_view buscado,
                         std::int64_t inicio = -1, int modo = kCompararExacto);

// Replaces occurrences of buscado from the 1-based position inicio on, left to right without
// overlap, at most cantidad of them (negative: all); a replacement is never searched again.
std::u16string reemplazar(std::u16string_view texto, std::u16string_view buscado,
                          std::u16string_view reemplazo, std::int64_t inicio = 1,
                          std::int64_t cantidad = -1, int modo = kCompararExacto);

// The same as reemplazar(texto, buscado, reemplazo) from position 1, all occurrences, exact
// comparison, done in place; only for a replacement no longer than buscado.
void reemplazarEnSitio(std::u16string& texto, std::u16string_view buscado,
                       std::u16string_view reemplazo);
// The same on UTF-8 bytes, for sought texts and replacements that are whole characters (ASCII in
// every caller), where byte and character matches coincide. The replacement must be no longer.
void reemplazarEnSitio(std::string& texto, std::string_view buscado, std::string_view reemplazo);

// Loads the file at ruta into lineas, split at CR LF; a file of length 0 leaves lineas without
// elements. Returns the empty text on success, otherwise what failed (lineas then unchanged).
std::u16string cargarArchivo(std::vector<std::u16string>& lineas, std::u16string_view ruta);

// Splits texto at every delimitador, storing the pieces from position indice on (elements above
// the last one stored are dropped); indice ends one past the last piece.
void partir(std::u16string_view texto, std::u16string_view delimitador,
            std::vector<std::u16string>& lineas, std::int64_t& indice);

// Number of elements; 0 for an array without elements.
std::int64_t contarElementos(const std::vector<std::u16string>& lineas);

}  // namespace tralmix
