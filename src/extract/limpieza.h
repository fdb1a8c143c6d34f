#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tralmix {

// One row of a replacement table: every occurrence of buscado becomes reemplazo.
struct FilaTabla {
    std::u16string_view buscado;
    std::u16string_view reemplazo;
};

// The cleaning table, in the order it is applied.
std::span<const FilaTabla> tablaLimpieza();

// Cleans one input line: removes the markup of a contact-list export and deletes or blanks the
// punctuation that cannot belong to an address. Neither trims nor lower-cases.
std::u16string limpieza(std::u16string qLimpiar);

// What the run asks of a cleaned line besides its text.
struct MarcasLimpieza {
    bool www = false;        // it holds "www."
    bool separador = false;  // it holds "," or ";"
};

// The same on a UTF-8 line, appended to salida: limpieza's result in UTF-8, and its marks.
MarcasLimpieza agregarLimpiezaUtf8(std::string& salida, std::string_view linea);

}  // namespace tralmix
