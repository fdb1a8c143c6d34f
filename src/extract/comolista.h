#pragma once

#include "util/arreglo.h"

namespace tralmix {

// The list path's extraction: blanks in place every element of lineas that does not look like
// an address, and removes ".html" and ".htm" from the others (which are then kept trimmed). Blank
// elements stay as they are; repeats are kept.
void comolista(Arreglo& lineas);

}  // namespace tralmix
