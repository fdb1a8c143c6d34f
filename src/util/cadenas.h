#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tralmix {

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
