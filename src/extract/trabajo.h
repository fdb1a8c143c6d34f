#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "extract/estado.h"
#include "extract/puerto.h"
#include "util/archivos.h"

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
// caller to load and close. alVerMasivo hears, once, of the first "," or ";" in a file that reads
// as UTF-8 so far, with the file's size. A failure, or a stop, is in the answer's fallo.
Trabajo escribirTrabajo(const Estado& estado, Puerto& puerto, archivos::ArchivoTrabajo& archivo,
                        const std::function<void(std::uint64_t tamano)>& alVerMasivo = {});

}  // namespace tralmix
