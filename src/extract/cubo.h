#pragma once

#include <string_view>

#include "util/arreglo.h"
#include "util/avance.h"

namespace tralmix {

// Sorts Matriz in place by the UTF-16 code units of its texts (no locale, no case folding; the
// empty text first, a text before every longer one that begins with it), ascending or
// descending. Equal texts are identical, so the order equals that of an insertion sort. False,
// and nothing changed, for an array without elements. avance hears of the elements put in their
// place and may stop the sort, leaving the array in some order.
bool Cubo(Arreglo& Matriz, bool Ascendente, Avance* avance = nullptr);

// That order on two valid UTF-8 texts. It differs from byte order only between U+E000–U+FFFF and
// the characters above U+FFFF, whose surrogates come first in UTF-16.
bool menorComoUtf16(std::string_view a, std::string_view b);

}  // namespace tralmix
