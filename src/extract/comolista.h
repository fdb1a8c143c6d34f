#pragma once

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/puerto.h"
#include "util/arreglo.h"

namespace tralmix {

// The filter pass of the list path: blanks in place every element that does not look like an
// address, and removes ".html" and ".htm" from the others (which are then kept trimmed). Blank
// elements stay as they are.
void filtrarLista(Arreglo& lineas);

// The list path: creates the result file, filters lineas, sorts it and hands over to the result
// stage. Repeats are kept.
Desenlace comolista(Estado& estado, Puerto& puerto);

}  // namespace tralmix
