#pragma once

#include <span>
#include <string_view>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/limpieza.h"
#include "extract/puerto.h"
#include "extract/trabajo.h"
#include "util/archivos.h"
#include "util/arreglo.h"

namespace tralmix {

// The table that rewrites the lower-cased message text, in the order it is applied. Row 19
// ("add") is cut only where it ends a word, so that names like maddie@… keep their letters.
std::span<const FilaTabla> tablaMasivo();

// The words with an "@" that the message text made of these lines (each followed by CR LF),
// lower-cased, rewritten by the table and cut at spaces, gives: appended to lineas in order, one
// bracket stripped at each end, and only those then left without brackets. Before the first word
// lineas gets its empty position 0. No word crosses a line end, so the pieces of a text give,
// one after the other, the words of the whole.
void extraerDirecciones(std::string_view lineas, Arreglo& direcciones);

// Blanks every later repeat of an address, keeping the first; copiaLineas receives the
// reference copy.
void quitarRepetidos(Arreglo& lineas, Arreglo& copiaLineas);

// The bulk path: reads the chosen file again, takes its addresses, blanks repeats, sorts and
// hands over to the result stage. primera is what the run's first reading found: a file changed
// since then is reported, never taken in its new state.
Desenlace masivo(Estado& estado, Puerto& puerto, const Trabajo& primera);

}  // namespace tralmix
