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

// The working file's content as the run wrote it, in pieces that each end with a whole line
// (CR LF), and its number of lines.
struct TrabajoUtf8 {
    std::vector<std::string> trozos;
    std::size_t lineas = 0;
};

// The list path on that content without reading the file back: the elements are those the
// loader makes of it (every line, then the empty text after the last CR LF). estado.lineas ends
// as comolista leaves it; the pieces are used up.
Desenlace comolistaDesdeTrabajo(Estado& estado, Puerto& puerto, TrabajoUtf8 trabajo);

}  // namespace tralmix
