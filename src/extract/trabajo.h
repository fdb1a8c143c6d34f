#pragma once

#include <cstdint>
#include <string>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/puerto.h"
#include "util/archivos.h"

namespace tralmix {

// What cleaning the input left behind.
struct Trabajo {
    Desenlace desenlace = Desenlace::Escrito;  // Escrito when the working file is complete
    std::u16string ruta;                       // the working file actually written
    std::uint64_t lineas = 0;                  // lines written to it
    bool masivo = false;                       // one of them holds "," or ";"
    archivos::Huella entrada;                  // the input as it was read
    bool utf8 = false;                         // read as it is: strictly UTF-8, no UTF-16 mark
};

// Reads the chosen file a piece at a time and writes each of its lines, trimmed and cleaned, to
// the working file in the temporary folder (named after the input), each ended by CR LF; lines
// that are empty then, or hold "www.", are skipped. archivo is left open, and so held, for the
// caller to load and close. A failure has been told to the user.
Trabajo escribirTrabajo(const Estado& estado, Puerto& puerto, archivos::ArchivoTrabajo& archivo);

}  // namespace tralmix
