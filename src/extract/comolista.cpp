#include "extract/comolista.h"

#include "util/cadenas.h"
#include "util/cargador.h"
#include "util/memoria.h"
#include "util/texto.h"

namespace tralmix {
namespace {

bool contiene(std::string_view t, std::string_view s) {
    return t.find(s) != std::string_view::npos;
}

}  // namespace

void comolista(Arreglo& lineas) {
    std::string corto;
    const auto n = static_cast<std::size_t>(contarElementos(lineas));
    // An entry with an invisible character could show as another address; the whole block is
    // looked at first, since most hold none.
    const bool invisibles = texto::puedeTenerInvisible({lineas.bytes(), lineas.tamanoBytes()});
    for (std::size_t i = 0; i < n; ++i) {
        std::string_view t = texto::recortar(lineas[i]);
        if (t.empty()) {
            continue;
        }
        // The common case answered in one look: no "(", ")", ".." nor ".h" (which begins
        // ".htm"), only the "@" to ask about.
        bool otro = false;
        for (std::size_t k = 0; k < t.size() && !otro;) {
            k += primeroDe<'(', ')', '.'>(t.data() + k, t.size() - k);
            otro = k < t.size() &&
                   (t[k] != '.' || (k + 1 < t.size() && (t[k + 1] == '.' || t[k + 1] == 'h')));
            ++k;
        }
        if (!otro) {
            if (!contiene(t, "@") || (invisibles && texto::tieneInvisible(t))) {
                lineas.vaciar(i);
            }
            continue;
        }
        // ".html" holds ".htm", so one test tells whether the element is shortened (and stored
        // trimmed); the two removals keep their order.
        if (contiene(t, ".htm")) {
            corto.assign(t);
            reemplazar(corto, ".html", "");
            reemplazar(corto, ".htm", "");
            lineas.acortar(i, corto);
            t = lineas[i];
        }
        if (contiene(t, "(") || contiene(t, ")") || contiene(t, "..") || !contiene(t, "@") ||
            (invisibles && texto::tieneInvisible(t))) {
            lineas.vaciar(i);
        }
    }
}

}  // namespace tralmix
