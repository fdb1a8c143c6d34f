#pragma once

#include "util/arreglo.h"

namespace tralmix {

// On sorted addresses, where the repeats of one stand together: all but one of them become
// empty, and the empty elements go first, the others keeping their order. That is what blanking
// every later repeat and then sorting gives, without a table of what was seen.
void quitarRepetidos(Arreglo& ordenadas);

}  // namespace tralmix
