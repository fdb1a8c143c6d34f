#pragma once

#include <string>
#include <vector>

#include "extract/estado.h"
#include "extract/proceso.h"
#include "extract/puerto.h"

namespace tralmix {

// Blanks in place every element that does not look like an address; removes ".html" and ".htm"
// from the others. Blank elements stay as they are.
void filtrarLista(std::vector<std::u16string>& lineas);

// The list path: filter, sort and hand over to the result stage. Repeats are kept.
Desenlace comolista(Estado& estado, Puerto& puerto);

}  // namespace tralmix
