#include "extract/comolista.h"

#include <algorithm>

#include "util/cadenas.h"
#include "util/cargador.h"
#include "util/memoria.h"
#include "util/texto.h"
#include "util/vectores.h"

namespace tralmix {
namespace {

bool contiene(std::string_view t, std::string_view s) {
    return t.find(s) != std::string_view::npos;
}

// What one look over an entry, sixteen bytes at a time, finds of what the filter asks about.
struct Vistos {
    bool otro = false;       // a "(", a ")", or a "." before a "." or an "h" (which begins ".htm")
    bool arroba = false;     // an "@"
    bool invisible = false;  // a byte that may begin an invisible character
};

// t lies in a block that ends at fin: sixteen bytes (and the byte after them) are read whole
// where the block goes on, and only the lanes of t are asked about.
Vistos mirar(std::string_view t, const char* fin) {
    using vectores::iguales;
    using vectores::kAncho;
    const std::size_t n = t.size();
    unsigned otro = 0;
    unsigned arroba = 0;
    unsigned invisible = 0;
    for (std::size_t k = 0; k < n; k += kAncho) {
        const std::size_t quedan = n - k;
        const char* p = t.data() + k;
        vectores::Vector v;
        vectores::Vector despues;  // the byte after each one
        if (p + kAncho + 1 <= fin) {
            v = vectores::cargar(p);
            despues = vectores::cargar(p + 1);
        } else {
            v = vectores::cargarParte(p, std::min(quedan, kAncho));
            despues = vectores::cargarParte(p + 1, std::min(quedan, kAncho + 1) - 1);
        }
        const unsigned suyos = quedan >= kAncho ? vectores::hasta(kAncho) : vectores::hasta(quedan);
        const unsigned pares =
            quedan > kAncho ? vectores::hasta(kAncho) : vectores::hasta(quedan - 1);
        otro |= (vectores::bits(iguales(v, '(') | iguales(v, ')')) & suyos) |
                (vectores::bits(iguales(v, '.') & (iguales(despues, '.') | iguales(despues, 'h'))) &
                 pares);
        arroba |= vectores::bits(iguales(v, '@')) & suyos;
        invisible |= vectores::bits(texto::iniciosInvisibles(v)) & suyos;
    }
    return {otro != 0, arroba != 0, invisible != 0};
}

}  // namespace

void comolista(Arreglo& lineas) {
    std::string corto;
    const auto n = static_cast<std::size_t>(contarElementos(lineas));
    const char* fin = lineas.bytes() + lineas.tamanoBytes();
    for (std::size_t i = 0; i < n; ++i) {
        std::string_view t = texto::recortar(lineas[i]);
        if (t.empty()) {
            continue;
        }
        // The common case answered in one look: no "(", ")", ".." nor ".h", only the "@" to ask
        // about; an entry with an invisible character could show as another address, and only
        // one with a byte that may begin one is looked at again.
        const Vistos vistos = mirar(t, fin);
        if (!vistos.otro) {
            if (!vistos.arroba || (vistos.invisible && texto::tieneInvisible(t))) {
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
            texto::tieneInvisible(t)) {
            lineas.vaciar(i);
        }
    }
}

}  // namespace tralmix
