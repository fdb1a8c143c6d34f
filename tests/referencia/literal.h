#pragma once

// The literal forms of the run's stages: every rule applied as it is written, one after the
// other, on UTF-16 text and arrays of strings, with no thought for speed. The program never links
// them; the tests, fuzzers and benchmarks hold its fast forms to them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/arreglo.h"

namespace tralmix::literal {

using Lineas = std::vector<std::u16string>;

// The string helper's replacement, step by step: from the 1-based position inicio, at most
// cantidad replacements (negative: all), modo 0 exact and 1 without regard to case; the search
// goes on right after each inserted replacement.
std::u16string reemplazar(std::u16string_view texto, std::u16string_view buscado,
                          std::u16string_view reemplazo, std::int64_t inicio = 1,
                          std::int64_t cantidad = -1, int modo = 0);

// The input's lines: CR, CR LF and a lone LF each end one; the last needs no line end.
std::vector<std::u16string_view> lineasDeEntrada(std::u16string_view texto);

// The cleaning table applied row by row.
std::u16string limpieza(std::u16string qLimpiar);

// The message text (every line followed by CR LF) lower-cased, rewritten row by row by the bulk
// table and cut into words: position 0 empty, then the accepted words in text order; nothing
// at all when no word is accepted.
Lineas extraerDirecciones(std::u16string_view texto);

// Every pair compared against a copy of lineas as it was: every later repeat blanked.
void quitarRepetidos(Lineas& lineas);

// The list path's filter, element by element.
void filtrarLista(Lineas& lineas);

// The insertion sort by UTF-16 code units (for long arrays a stable sort by the same order,
// which gives the same array).
void Cubo(Lineas& matriz, bool ascendente);

// The result file's bytes (UTF-8, CR LF) in groups of 48.
std::string componerLista(const Lineas& lineas);

// A whole run on an input's bytes, step by step.
struct Corrida {
    std::string trabajo;  // the working file's bytes
    bool vacio = false;   // the working file had no line: the run refuses the input
    bool masivo = false;  // the bulk path ran
    Lineas lineas;        // as the run leaves them
    std::string lista;    // the list's bytes; empty when no address survived (no list written)
};
Corrida correr(std::string_view bytes);

// Between the two kinds of array.
Lineas comoLineas(const Arreglo& arreglo);
Arreglo comoArreglo(const Lineas& lineas);

}  // namespace tralmix::literal
