#include "extract/repetidos.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "util/afinado.h"
#include "util/memoria.h"

namespace tralmix {

void quitarRepetidos(Arreglo& ordenadas) {
    const auto lugares = ordenadas.lugares();
    const std::size_t n = lugares.size();
    // From the back: a text equal to the one before it is a repeat; what stays moves to the
    // back, in order, and the front is filled with empty elements.
    // Each text is found once: the one before becomes the next step's own (what is written
    // goes at i or after, so lugares[i - 1] is still as it was).
    std::size_t escrito = n;
    std::string_view siguiente;
    bool haySiguiente = false;
    for (std::size_t i = n; i-- > 0;) {
        if (i >= afinado::kAdelanto) {
            anticiparTexto(ordenadas.inicio(i - afinado::kAdelanto));
        }
        const std::uint32_t lugar = lugares[i];
        if (lugar == 0) {
            haySiguiente = false;
            continue;
        }
        const std::string_view texto = haySiguiente ? siguiente : ordenadas.textoEn(lugar);
        haySiguiente = i > 0;
        if (haySiguiente) {
            siguiente = ordenadas.textoEn(lugares[i - 1]);
            if (siguiente == texto) {
                continue;
            }
        }
        lugares[--escrito] = lugar;
    }
    std::fill(lugares.begin(), lugares.begin() + static_cast<std::ptrdiff_t>(escrito), 0u);
}

}  // namespace tralmix
