#pragma once

#include <string>

#include "util/archivos.h"
#include "util/arreglo.h"

namespace tralmix {

// The program-wide state of one window (or one command): whoever drives the runs owns it and
// hands it to every run, so nothing lives in globals.
struct Estado {
    // Full path of the chosen input, exactly as the Open dialog returned it.
    std::u16string archivoEntrada;
    // Folder of the working file, ending in a separator.
    std::u16string carpetaTemporal;
    // The working file's lines after loading; the addresses after extraction.
    Arreglo lineas;
    // Reference copy taken by the bulk path before it blanks repeated addresses.
    Arreglo copiaLineas;
    // The input as the run first opened it: a list is written only if it is still so after the
    // last read.
    archivos::Huella huellaEntrada;
};

}  // namespace tralmix
