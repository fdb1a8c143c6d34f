#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "extract/estado.h"
#include "extract/puerto.h"
#include "util/archivos.h"
#include "util/arreglo.h"

namespace tralmix {

// What cleaning the input left behind.
struct Trabajo {
    Fallo fallo;               // empty when the working file is complete
    std::u16string ruta;       // the working file actually written
    std::uint64_t lineas = 0;  // lines written to it
    bool masivo = false;       // one of them holds "," or ";"
    archivos::Huella entrada;  // the input as it was read
    bool utf8 = false;         // read as it is: strictly UTF-8, no UTF-16 mark
};

// Reads the chosen file a piece at a time and writes each of its lines, trimmed and cleaned, to
// the working file in the temporary folder (named after the input), each ended by CR LF; lines
// that are empty then, or hold "www.", are skipped. archivo is left open, and so held, for the
// caller to close. alVerMasivo hears, once, of the first "," or ";" in a file that reads as UTF-8
// so far, with the file's size. A failure, or a stop, is in the answer's fallo.
// lineas, when given, receives what loading the working file would give, from the very bytes
// written to it: each line, then the empty text after the last CR LF (nothing for a file of
// length 0); a text that turns out to be pasted messages leaves it empty, since masivo does not
// use the working file's lines.
Trabajo escribirTrabajo(const Estado& estado, Puerto& puerto, archivos::ArchivoTrabajo& archivo,
                        const std::function<void(std::uint64_t tamano)>& alVerMasivo = {},
                        Arreglo* lineas = nullptr);

}  // namespace tralmix
