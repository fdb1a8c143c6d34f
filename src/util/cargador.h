#pragma once

// The line-array loader: a file split at CR LF into an array, and the array's count.

#include <cstdint>
#include <string>
#include <string_view>

#include "util/arreglo.h"
#include "util/avance.h"
#include "util/fallo.h"

namespace tralmix {

// Loads the file at ruta into lineas, split at CR LF (a CR or an LF alone stays inside its
// element): one element per CR LF, then the text after the last one. A file of length 0 leaves
// lineas without elements. The file is read a piece at a time and must be UTF-8 text. A failure
// leaves lineas as it was. sinEnlace refuses a link at the path (our own working file, read back
// from a shared folder). avance hears of the bytes read, and may stop the load (lineas is then
// left empty, and the answer is Fallo::interrupcion()).
Fallo cargarLineas(Arreglo& lineas, std::u16string_view ruta, bool sinEnlace = false,
                   Avance* avance = nullptr);

// The same, its failure as a description: the empty text on success.
std::u16string cargarArchivo(Arreglo& lineas, std::u16string_view ruta, bool sinEnlace = false,
                             Avance* avance = nullptr);

// Appends to lineas the pieces of texto cut at every delimitador, and then the text after the
// last one (possibly empty).
void partir(std::string_view texto, std::string_view delimitador, Arreglo& lineas);

// Number of elements; 0 for an array without elements.
std::int64_t contarElementos(const Arreglo& lineas);

}  // namespace tralmix
