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

// Accepted words in UTF-8, stored back to back: word i ends at fines[i].
struct PalabrasUtf8 {
    std::string bytes;
    std::vector<std::size_t> fines;

    std::size_t size() const { return fines.size(); }
    std::string_view operator[](std::size_t i) const;
    // Appends the words of otras after these.
    void anexar(const PalabrasUtf8& otras);
};

// From the decoded input (UTF-8), the words that the message text made of its lines (each
// followed by CR LF), lower-cased, normalised and cut by extraerDirecciones keeps, in the same
// order (without the empty position 0). No word crosses a line end, so a text cut just after one
// gives, part after part, the words of the whole.
void direccionesUtf8(std::string_view textoUtf8, PalabrasUtf8& palabras);

// The bulk path: reads the chosen file again as one text, extracts, de-duplicates, sorts and
// hands over to the result stage.
Desenlace masivo(Estado& estado, Puerto& puerto);

// The same on the input the run has read already, decoded to UTF-8: the file is not read again,
// so it cannot have changed in between.
Desenlace masivoDesdeTexto(Estado& estado, Puerto& puerto, std::string textoUtf8);

// The same with the words already taken from that text by direccionesUtf8 (the run does it while
// it writes the working file).
Desenlace masivoDesdePalabras(Estado& estado, Puerto& puerto, const PalabrasUtf8& palabras);

}  // namespace tralmix
