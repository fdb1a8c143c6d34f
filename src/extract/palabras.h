#pragma once

#include <string_view>

#include "util/arreglo.h"

namespace tralmix {

// The words with an "@" that the message text made of these lines (each followed by CR LF),
// lower-cased, rewritten by the table and cut at spaces, gives: appended to direcciones in order,
// one bracket stripped at each end, and only those then left without brackets. Before the first
// word direcciones gets its empty position 0. No word crosses a line end, so the pieces of a
// text give, one after the other, the words of the whole.
void extraerDirecciones(std::string_view lineas, Arreglo& direcciones);

}  // namespace tralmix
