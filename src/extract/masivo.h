#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "extract/estado.h"
#include "extract/proceso.h"
#include "extract/puerto.h"

namespace tralmix {

// Rewrites lower-cased pasted messages so that only spaces separate the words: header words,
// brackets, quotes, separators, line ends and rules of dots and dashes become spaces.
void normalizarMasivo(std::u16string& texto);

// Cuts the normalised text into words at spaces and keeps the words with an "@", one bracket
// stripped at each end. lineas gets an empty position 0 before the addresses, or nothing at all
// when no word is accepted.
void extraerDirecciones(std::u16string_view texto, std::vector<std::u16string>& lineas);

// Blanks every later repeat of an address, keeping the first; copiaLineas receives the
// reference copy.
void quitarRepetidos(std::vector<std::u16string>& lineas, std::vector<std::u16string>& copiaLineas);

// The bulk path: reads the chosen file again as one text, extracts, de-duplicates, sorts and
// hands over to the result stage.
Desenlace masivo(Estado& estado, Puerto& puerto);

}  // namespace tralmix
