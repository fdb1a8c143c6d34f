// The character classes of texto::clase, from the table tools/minusculas makes from ICU.

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "util/clases_tabla.inc"
#include "util/texto.h"

namespace tralmix::texto {

static_assert(std::size(kClasesInicios) == std::size(kClases) && kClasesInicios[0] == 0);

Clase clase(char32_t c) {
    if (c > 0x10FFFF) {
        return Clase::Control;
    }
    const auto* fin = std::upper_bound(std::begin(kClasesInicios), std::end(kClasesInicios),
                                       static_cast<std::uint32_t>(c));
    return static_cast<Clase>(
        kClases[static_cast<std::size_t>(fin - std::begin(kClasesInicios)) - 1]);
}

}  // namespace tralmix::texto
