#pragma once

#include <string>
#include <vector>

namespace tralmix {

// Sorts Matriz in place by UTF-16 code units, ascending or descending. Equal strings are
// identical, so the order equals that of a stable insertion sort. False, and nothing changed,
// for an array without elements.
bool Cubo(std::vector<std::u16string>& Matriz, bool Ascendente);

}  // namespace tralmix
