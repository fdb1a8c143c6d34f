#include "extract/comolista.h"

#include <algorithm>
#include <bit>
#include <cstdint>

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

// The entries of an array mostly lie one after another in its block, each ended by kFin: the
// block is looked at 64 bytes at a time, once, and an ASCII entry is answered from the marks of
// its bytes without a look of its own.
class Marcas {
  public:
    Marcas(const char* bloque, std::size_t tamano) : bloque_(bloque), tamano_(tamano) {}

    struct Entrada {
        std::size_t fin;  // where its kFin is
        bool otro;        // as in Vistos
        bool arroba;
        bool altos;  // a byte from 0x80 on: the entry is looked at on its own
    };

    // The entry whose text starts at place s.
    Entrada en(std::size_t s) {
        Entrada e{s, false, false, false};
        for (;;) {
            if (!listo_ || s < desde_ || s - desde_ >= kTramo) {
                marcar(s);
            }
            const auto corrido = static_cast<unsigned>(s - desde_);
            const std::uint64_t suyos = ~std::uint64_t{0} << corrido;
            const std::uint64_t fines = fin_ & suyos;
            const std::uint64_t hasta =
                fines != 0 ? (fines & (~fines + 1)) - 1 : ~std::uint64_t{0};  // bits before it
            const std::uint64_t dentro = suyos & hasta;
            e.otro = e.otro || (otro_ & dentro) != 0;
            e.arroba = e.arroba || (arroba_ & dentro) != 0;
            e.altos = e.altos || (altos_ & dentro) != 0;
            if (fines != 0) {
                e.fin = desde_ + static_cast<std::size_t>(std::countr_zero(fines));
                return e;
            }
            s = desde_ + kTramo;
        }
    }

  private:
    static constexpr std::size_t kTramo = 64;

    // The marks of the 64 bytes from s on; past the block's end, lanes as kFin.
    void marcar(std::size_t s) {
        using vectores::iguales;
        desde_ = s;
        listo_ = true;
        fin_ = otro_ = arroba_ = altos_ = 0;
        for (std::size_t k = 0; k < kTramo; k += vectores::kAncho) {
            const std::size_t en = s + k;
            vectores::Vector v;
            vectores::Vector despues;
            unsigned fuera = 0;  // lanes past the block
            if (en + vectores::kAncho + 1 <= tamano_) {
                v = vectores::cargar(bloque_ + en);
                despues = vectores::cargar(bloque_ + en + 1);
            } else {
                const std::size_t quedan = en < tamano_ ? tamano_ - en : 0;
                v = vectores::cargarParte(bloque_ + en, std::min(quedan, vectores::kAncho));
                despues =
                    vectores::cargarParte(bloque_ + en + 1, std::min(quedan, vectores::kAncho + 1) -
                                                                (quedan > 0 ? 1 : 0));
                fuera = quedan >= vectores::kAncho ? 0 : ~vectores::hasta(quedan) & 0xFFFFu;
            }
            const auto marca = [k](unsigned b) { return static_cast<std::uint64_t>(b) << k; };
            fin_ |= marca(vectores::bits(iguales(v, 0xFF)) | fuera);
            otro_ |= marca(vectores::bits(
                iguales(v, '(') | iguales(v, ')') |
                (iguales(v, '.') & (iguales(despues, '.') | iguales(despues, 'h')))));
            arroba_ |= marca(vectores::bits(iguales(v, '@')));
            altos_ |= marca(vectores::bits(vectores::altos(v)));
        }
    }

    const char* bloque_;
    std::size_t tamano_;
    std::size_t desde_ = 0;
    std::uint64_t fin_ = 0;
    std::uint64_t otro_ = 0;
    std::uint64_t arroba_ = 0;
    std::uint64_t altos_ = 0;
    bool listo_ = false;
};

}  // namespace

void comolista(Arreglo& lineas) {
    std::string corto;
    const auto n = static_cast<std::size_t>(contarElementos(lineas));
    const char* fin = lineas.bytes() + lineas.tamanoBytes();
    Marcas marcas(lineas.bytes(), lineas.tamanoBytes());
    for (std::size_t i = 0; i < n; ++i) {
        // An ASCII entry is answered from the marks: its spaces at either end hold none of what
        // they mark, so they are those of its trimmed text.
        const auto lugar = static_cast<std::size_t>(lineas.inicio(i) - lineas.bytes());
        const auto e = marcas.en(lugar);
        std::string_view t = texto::recortar({lineas.inicio(i), e.fin - lugar});
        if (t.empty()) {
            continue;
        }
        if (!e.altos && !e.otro) {
            if (!e.arroba) {
                lineas.vaciar(i);
            }
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
            // The block may be a copy now.
            fin = lineas.bytes() + lineas.tamanoBytes();
            marcas = Marcas(lineas.bytes(), lineas.tamanoBytes());
        }
        if (contiene(t, "(") || contiene(t, ")") || contiene(t, "..") || !contiene(t, "@") ||
            texto::tieneInvisible(t)) {
            lineas.vaciar(i);
        }
    }
}

}  // namespace tralmix
