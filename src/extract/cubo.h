#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tralmix {

// Sorts Matriz in place by UTF-16 code units, ascending or descending. Equal strings are
// identical, so the order equals that of a stable insertion sort. False, and nothing changed,
// for an array without elements.
bool Cubo(std::vector<std::u16string>& Matriz, bool Ascendente);

// Order of two valid UTF-8 texts by the UTF-16 code units of their characters, the order Cubo
// gives. It differs from byte order only between U+E000–U+FFFF and the characters above
// U+FFFF, whose surrogates come first in UTF-16.
bool menorComoUtf16(std::string_view a, std::string_view b);

// Sorts valid UTF-8 texts ascending in that order.
void ordenarComoUtf16(std::vector<std::string_view>& textos);

}  // namespace tralmix
