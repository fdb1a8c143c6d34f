#pragma once

// String and path helpers: file existence, the file name of a path, the last occurrence of a
// text, and the replacement of every occurrence of a text.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace tralmix {

// The separator the system writes in paths; both "/" and "\" end a folder in what we read.
#if defined(_WIN32)
inline constexpr char16_t kSeparador = u'\\';
// Names differ only by case there, so a typed path may be lower-cased as the user sees it.
inline constexpr bool kNombresSinMayusculas = true;
#else
inline constexpr char16_t kSeparador = u'/';
inline constexpr bool kNombresSinMayusculas = false;
#endif

// The folder with a separator at its end.
std::u16string conSeparador(std::u16string carpeta);

// True when the path names an existing file (not a folder); every failure answers false.
bool existeArchivo(std::u16string_view ruta);

// The file name part of a path (after its last "\" or "/"), lower-cased.
std::u16string nombreArchivo(std::u16string_view ruta);

// 1-based position of the last occurrence of buscado that starts at or before inicio
// (inicio < 1: anywhere); 0 when there is none.
std::int64_t buscarAtras(std::u16string_view texto, std::u16string_view buscado,
                         std::int64_t inicio = -1);

// Position of the first buscado in texto at or after desde, npos when there is none: what
// string_view::find answers, found eight places at a time by the first two bytes together (the
// library looks for the first alone, which in a line of words stops at every letter "a").
std::size_t buscar(std::string_view texto, std::string_view buscado, std::size_t desde = 0);

// Replaces every occurrence of buscado in texto (from the byte desde on) by reemplazo, in place:
// found left to right without overlap, the search going on right after each replacement. Texts
// are UTF-8 and the sought text and its replacement whole characters, so byte and character
// matches coincide; the replacement is never longer than what it replaces (every row of the
// program's tables).
void reemplazar(std::string& texto, std::string_view buscado, std::string_view reemplazo,
                std::size_t desde = 0);

}  // namespace tralmix
