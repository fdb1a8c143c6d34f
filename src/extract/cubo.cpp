#include "extract/cubo.h"

#include <algorithm>
#include <cstdint>
#include <thread>

#include "util/memoria.h"
#include "util/paralelo.h"

namespace tralmix {
namespace {

// Lead bytes EE and EF start U+E000–U+FFFF; moved above F0–F4 (the characters beyond U+FFFF),
// bytes compare as UTF-16 code units do. Valid UTF-8 never holds F5–FF, so nothing collides, and
// at the first differing byte of two valid texts both bytes are lead bytes or both continue the
// same character.
constexpr std::uint8_t peso(std::uint8_t b) {
    return b == 0xEE || b == 0xEF ? static_cast<std::uint8_t>(b + 0x10) : b;
}

// Eight bytes from desde on by weight, as one number, zeros past the end.
std::uint64_t clave(std::string_view t, std::size_t desde) {
    std::uint64_t k = 0;
    for (std::size_t i = desde; i < desde + 8; ++i) {
        k <<= 8;
        if (i < t.size()) {
            k |= peso(static_cast<std::uint8_t>(t[i]));
        }
    }
    return k;
}

// Four code units from desde on, as one number, zeros past the end.
std::uint64_t clave(std::u16string_view t, std::size_t desde) {
    std::uint64_t k = 0;
    for (std::size_t i = desde; i < desde + 4; ++i) {
        k <<= 16;
        if (i < t.size()) {
            k |= t[i];
        }
    }
    return k;
}

template <typename Vista>
constexpr std::size_t kPorClave = 8 / sizeof(typename Vista::value_type);

struct Tramo {
    std::size_t desde;
    std::size_t hasta;
    std::size_t profundidad;  // code units every text of the stretch shares at its start
};

// Texts that share their first `profundidad` units, sorted by the key of the next ones and by
// their length up to the end of that key: among equal keys a text that ends inside the key is a
// prefix of every longer one. Texts that go on past it with an equal key share the key's units
// as well and are sorted again from there. Each text is read once per level rather than once per
// comparison, and most comparisons stay inside one array.
// The keys of a stretch at a depth: each text read once, in the stretch's order.
template <typename Elemento, typename Texto>
void ponerClaves(std::vector<Elemento>& e, std::size_t desde, std::size_t hasta,
                 std::size_t profundidad, Texto texto) {
    using Vista = decltype(texto(e.front()));
    constexpr std::size_t paso = kPorClave<Vista>;
    constexpr std::size_t kAdelanto = 16;
    const std::size_t limite = profundidad + 2 * paso + 1;
    for (std::size_t i = desde; i < hasta; ++i) {
        if (i + kAdelanto < hasta) {
            anticipar(texto(e[i + kAdelanto]).data() + profundidad);
        }
        const Vista v = texto(e[i]);
        e[i].clave = clave(v, profundidad);
        e[i].clave2 = clave(v, profundidad + paso);
        e[i].largo = std::min(v.size(), limite);
    }
}

// The first level's keys must be in place (ponerClaves at depth 0).
template <typename Elemento, typename Texto>
void ordenarPorTramos(std::vector<Elemento>& e, std::size_t desde, std::size_t hasta, Texto texto) {
    if (desde >= hasta) {
        return;
    }
    using Vista = decltype(texto(e.front()));
    constexpr std::size_t paso = kPorClave<Vista>;
    std::vector<Tramo> pendientes{{desde, hasta, 0}};
    while (!pendientes.empty()) {
        const Tramo t = pendientes.back();
        pendientes.pop_back();
        // Two numbers per key: most texts differ within them, and then one level is enough.
        const std::size_t limite = t.profundidad + 2 * paso + 1;
        if (t.profundidad > 0) {
            ponerClaves(e, t.desde, t.hasta, t.profundidad, texto);
        }
        const auto inicio = e.begin() + static_cast<std::ptrdiff_t>(t.desde);
        const auto fin = e.begin() + static_cast<std::ptrdiff_t>(t.hasta);
        std::sort(inicio, fin, [](const Elemento& x, const Elemento& y) {
            if (x.clave != y.clave) {
                return x.clave < y.clave;
            }
            return x.clave2 != y.clave2 ? x.clave2 < y.clave2 : x.largo < y.largo;
        });
        auto igual = [](const Elemento& x, const Elemento& y) {
            return x.clave == y.clave && x.clave2 == y.clave2 && x.largo == y.largo;
        };
        for (std::size_t i = t.desde; i < t.hasta;) {
            std::size_t j = i + 1;
            while (j < t.hasta && igual(e[j], e[i])) {
                ++j;
            }
            if (j - i > 1 && e[i].largo == limite) {
                pendientes.push_back({i, j, t.profundidad + 2 * paso});
            }
            i = j;
        }
    }
}

// Large arrays are split at the median of a sample of first keys: every key of the lower part is
// below every key of the upper part, so each part is sorted on its own, the two at once.
template <typename Elemento, typename Texto>
void ordenar(std::vector<Elemento>& e, Texto texto) {
    // The first keys are taken while the texts are still in their own order, so the reading
    // goes straight through memory; after that, keys move, not texts.
    ponerClaves(e, 0, e.size(), 0, texto);
    constexpr std::size_t kMinimoEnParalelo = std::size_t{1} << 16;
    if (e.size() < kMinimoEnParalelo || std::thread::hardware_concurrency() < 2) {
        ordenarPorTramos(e, 0, e.size(), texto);
        return;
    }
    constexpr std::size_t kMuestra = 1024;
    std::vector<std::uint64_t> muestra;
    for (std::size_t i = 0; i < kMuestra; ++i) {
        muestra.push_back(e[i * (e.size() / kMuestra)].clave);
    }
    std::nth_element(muestra.begin(), muestra.begin() + kMuestra / 2, muestra.end());
    const std::uint64_t pivote = muestra[kMuestra / 2];
    const auto medio =
        std::partition(e.begin(), e.end(), [&](const Elemento& x) { return x.clave < pivote; });
    const auto corte = static_cast<std::size_t>(medio - e.begin());
    aLaVez([&] { ordenarPorTramos(e, corte, e.size(), texto); },
           [&] { ordenarPorTramos(e, 0, corte, texto); });
}

struct ElementoUtf8 {
    std::uint64_t clave = 0;
    std::uint64_t clave2 = 0;
    std::size_t largo = 0;
    std::string_view texto;
};

struct ElementoIndice {
    std::uint64_t clave = 0;
    std::uint64_t clave2 = 0;
    std::size_t largo = 0;
    std::size_t indice = 0;
};

}  // namespace

bool Cubo(std::vector<std::u16string>& Matriz, bool Ascendente) {
    if (Matriz.empty()) {
        return false;
    }
    // Code-unit order, no locale, no case folding. The keys are sorted beside the strings, and
    // the strings are then moved once into place, following each cycle of the permutation.
    const std::size_t n = Matriz.size();
    std::vector<ElementoIndice> orden(n);
    for (std::size_t i = 0; i < n; ++i) {
        orden[i].indice = i;
    }
    ordenar(orden, [&](const ElementoIndice& x) { return std::u16string_view(Matriz[x.indice]); });
    for (std::size_t i = 0; i < n; ++i) {
        if (orden[i].indice == i) {
            continue;
        }
        std::u16string primero = std::move(Matriz[i]);
        std::size_t j = i;
        for (;;) {
            const std::size_t k = orden[j].indice;
            orden[j].indice = j;
            if (k == i) {
                Matriz[j] = std::move(primero);
                break;
            }
            Matriz[j] = std::move(Matriz[k]);
            j = k;
        }
    }
    // Equal strings are identical, so the descending order is the ascending one reversed.
    if (!Ascendente) {
        std::reverse(Matriz.begin(), Matriz.end());
    }
    return true;
}

bool menorComoUtf16(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    const auto [pa, pb] =
        std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(n), b.begin());
    if (pa == a.begin() + static_cast<std::ptrdiff_t>(n)) {
        return a.size() < b.size();
    }
    return peso(static_cast<std::uint8_t>(*pa)) < peso(static_cast<std::uint8_t>(*pb));
}

void ordenarComoUtf16(std::vector<std::string_view>& textos) {
    std::vector<ElementoUtf8> elementos(textos.size());
    for (std::size_t i = 0; i < textos.size(); ++i) {
        elementos[i].texto = textos[i];
    }
    ordenar(elementos, [](const ElementoUtf8& x) { return x.texto; });
    for (std::size_t i = 0; i < elementos.size(); ++i) {
        textos[i] = elementos[i].texto;
    }
}

}  // namespace tralmix
