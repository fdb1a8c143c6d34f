#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tralmix {

// One row of a replacement table: every occurrence of buscado becomes reemplazo.
struct FilaTabla {
    std::string_view buscado;
    std::string_view reemplazo;
};

// The cleaning table, in the order it is applied.
std::span<const FilaTabla> tablaLimpieza();

// What the run asks of a cleaned line, seen on the way: whether it holds "," or ";", and whether
// it holds a "w" at all (only then can it hold "www.").
struct Rasgos {
    bool separador = false;
    bool w = false;
};

// Cleans one input line (UTF-8): appends to limpia the line with the markup of a contact-list
// export removed and the punctuation that cannot belong to an address deleted or blanked.
// Neither trims nor lower-cases.
Rasgos limpieza(std::string_view qLimpiar, std::string& limpia);

}  // namespace tralmix
