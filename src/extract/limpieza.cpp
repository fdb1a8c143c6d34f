#include "extract/limpieza.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>
#include <utility>

#include "util/cadenas.h"
#include "util/vectores.h"

namespace tralmix {
namespace {

// Order matters: whole tags first, so that an exact tag leaves no trace before its punctuation
// is blanked.
constexpr std::array<FilaTabla, 33> kTabla{{
    {"<?xml version=\"1.0\"?>", ""},
    {"<messenger>", ""},
    {"<service name=\".NET Messenger Service\">", ""},
    {"<contactlist>", ""},
    {"<contact type=\"1\">", ""},
    {"<contact type=\"32\">", ""},
    {"</contactlist>", ""},
    {"</contact>", ""},
    {"</service>", ""},
    {"</messenger>", ""},
    {"!", ""},
    {"\"", ""},
    {"#", ""},
    {"$", ""},
    {"%", " "},
    {"&", " "},
    {"'", " "},
    {"*", " "},
    {"+", " "},
    {"/", " "},
    {":", " "},
    {"=", " "},
    {"<", " "},
    {">", " "},
    {"?", " "},
    {"[", " "},
    {"\\", " "},
    {"]", " "},
    {"^", " "},
    {"{", " "},
    {"|", " "},
    {"}", " "},
    {"~", " "},
}};

// The rows after the tags each turn one ASCII character into nothing or a space. None of them
// can produce a character another one seeks (a space is sought by none), so applied one after the
// other they act as one map from each byte to its replacement: one pass does them all. Bytes from
// 0x80 on are parts of characters beyond ASCII and stay as they are.
constexpr std::size_t kPrimeraDeUnCaracter = 10;

// What the map does with each byte, and what it tells of it.
enum : unsigned char { kSenalSeparador = 1, kSenalW = 2 };

struct MapaBytes {
    std::array<char, 256> destino{};
    std::array<unsigned char, 256> queda{};
    std::array<unsigned char, 256> senal{};
};

constexpr MapaBytes crearMapa() {
    MapaBytes m;
    for (std::size_t b = 0; b < 256; ++b) {
        m.destino[b] = static_cast<char>(b);
        m.queda[b] = 1;
    }
    for (std::size_t i = kPrimeraDeUnCaracter; i < kTabla.size(); ++i) {
        const auto b = static_cast<unsigned char>(kTabla[i].buscado[0]);
        if (kTabla[i].reemplazo.empty()) {
            m.queda[b] = 0;
        } else {
            m.destino[b] = ' ';
        }
    }
    m.senal[','] = m.senal[';'] = kSenalSeparador;
    m.senal['w'] = kSenalW;
    return m;
}

constexpr MapaBytes kMapa = crearMapa();

// The bytes the map changes or deletes, as runs of consecutive values, so that sixteen bytes are
// asked about at once; most lines hold none of them.
struct Tramo {
    unsigned char desde;
    unsigned char hasta;
};

// The bytes the map changes (into a space) or deletes, and those it deletes.
constexpr bool tocado(std::size_t b) {
    return kMapa.queda[b] == 0 || kMapa.destino[b] != static_cast<char>(b);
}
constexpr bool borrado(std::size_t b) {
    return kMapa.queda[b] == 0;
}

template <bool (*Es)(std::size_t)>
constexpr std::size_t contarTramos() {
    std::size_t n = 0;
    for (std::size_t b = 0; b < 256; ++b) {
        if (Es(b) && (b == 0 || !Es(b - 1))) {
            ++n;
        }
    }
    return n;
}

template <bool (*Es)(std::size_t)>
constexpr auto tramos() {
    std::array<Tramo, contarTramos<Es>()> t{};
    std::size_t n = 0;
    for (std::size_t b = 0; b < 256; ++b) {
        if (!Es(b)) {
            continue;
        }
        if (b == 0 || !Es(b - 1)) {
            t[n++].desde = static_cast<unsigned char>(b);
        }
        t[n - 1].hasta = static_cast<unsigned char>(b);
    }
    return t;
}

constexpr auto kTocados = tramos<tocado>();
constexpr auto kBorrados = tramos<borrado>();

template <std::size_t N>
vectores::Mascara en(const vectores::Vector& v, const std::array<Tramo, N>& tramos) {
    vectores::Mascara m{};
    for (const Tramo& t : tramos) {
        m = m | (t.desde == t.hasta ? vectores::iguales(v, t.desde)
                                    : vectores::entre(v, t.desde, t.hasta));
    }
    return m;
}

vectores::Mascara tocados(const vectores::Vector& v) {
    return en(v, kTocados);
}

// What the signals are on bytes the map leaves as they are.
unsigned senalesDe(const vectores::Vector& v) {
    unsigned senales = 0;
    if (vectores::bits(vectores::iguales(v, ',') | vectores::iguales(v, ';')) != 0) {
        senales |= kSenalSeparador;
    }
    if (vectores::bits(vectores::iguales(v, 'w')) != 0) {
        senales |= kSenalW;
    }
    return senales;
}

constexpr bool formaDeLaTabla() {
    for (std::size_t i = kPrimeraDeUnCaracter; i < kTabla.size(); ++i) {
        const FilaTabla& f = kTabla[i];
        if (f.buscado.size() != 1 || static_cast<unsigned char>(f.buscado[0]) >= 128 ||
            f.buscado[0] == ' ' || !(f.reemplazo.empty() || f.reemplazo == " ")) {
            return false;
        }
    }
    for (std::size_t i = 0; i < kPrimeraDeUnCaracter; ++i) {
        if (!kTabla[i].buscado.starts_with("<") || !kTabla[i].reemplazo.empty()) {
            return false;
        }
    }
    return true;
}
static_assert(formaDeLaTabla(), "the one-pass map assumes single ASCII characters after the tags");

// Every tag starts with "<", holds no other, and the tag rows only delete: a row finds its tag
// only where the line has a "<", two of its matches never overlap, and deleting one joins text
// only where it stood, so every match of a row is at one of the "<" there were before it ran.
// The places of the "<" are taken once and moved along as rows delete; a line with very many
// goes to the plain search.
void quitarEtiquetas(std::string& t, std::size_t desde) {
    constexpr std::size_t kMaximo = 16;
    std::array<std::size_t, kMaximo> lugares{};
    std::size_t cuantos = 0;
    for (std::size_t p = t.find('<', desde); p != std::string::npos; p = t.find('<', p + 1)) {
        if (cuantos == kMaximo) {
            for (std::size_t i = 0; i < kPrimeraDeUnCaracter; ++i) {
                reemplazar(t, kTabla[i].buscado, {}, desde);
            }
            return;
        }
        lugares[cuantos++] = p;
    }
    for (std::size_t i = 0; i < kPrimeraDeUnCaracter && cuantos > 0; ++i) {
        const std::string_view buscado = kTabla[i].buscado;
        // Left to right, each match deleted and the places after it moved back; the search goes
        // on after a match, as the row's replacement does.
        std::size_t escrito = lugares[0];
        std::size_t leido = lugares[0];
        std::size_t quedan = 0;
        std::size_t borrados = 0;
        for (std::size_t k = 0; k < cuantos; ++k) {
            const std::size_t p = lugares[k];
            // Only one "<" in a tag: no place lies inside a match.
            if (std::string_view(t).substr(p).starts_with(buscado)) {
                std::char_traits<char>::move(t.data() + escrito, t.data() + leido, p - leido);
                escrito += p - leido;
                leido = p + buscado.size();
                borrados += buscado.size();
                continue;
            }
            lugares[quedan++] = p - borrados;
        }
        if (borrados > 0) {
            std::char_traits<char>::move(t.data() + escrito, t.data() + leido, t.size() - leido);
            t.resize(t.size() - borrados);
        }
        cuantos = quedan;
    }
}

// The map over n bytes in place: nothing grows, so writing never passes reading (sixteen bytes
// are read before they are written, at or before where they were, and no write reaches past the
// sixteen just read). Sixteen bytes go at once, in runs between the bytes it deletes. Gives how
// many bytes stay, and what it saw of them.
std::pair<std::size_t, unsigned> mapear(char* origen, std::size_t n) {
    char* destino = origen;
    std::size_t quedan = 0;
    unsigned senales = 0;
    auto uno = [&](std::size_t i) {
        const auto u = static_cast<unsigned char>(origen[i]);
        destino[quedan] = kMapa.destino[u];
        quedan += kMapa.queda[u];
        senales |= kMapa.senal[u];
    };
    std::size_t i = 0;
    for (; i + vectores::kAncho <= n; i += vectores::kAncho) {
        const vectores::Vector v = vectores::cargar(origen + i);
        const vectores::Mascara m = tocados(v);
        senales |= senalesDe(v);
        const vectores::Vector r = vectores::elegir(m, vectores::todos(' '), v);
        const unsigned borrados = vectores::bits(m) != 0 ? vectores::bits(en(v, kBorrados)) : 0;
        if (borrados == 0) {
            vectores::guardar(destino + quedan, r);
            quedan += vectores::kAncho;
            continue;
        }
        // The runs of bytes that stay are joined in a copy, each as sixteen bytes from its
        // start, written over by the next; then sixteen go out at once, at or before where they
        // were read.
        char copia[2 * vectores::kAncho] = {};
        char juntos[2 * vectores::kAncho] = {};
        vectores::guardar(copia, r);
        std::size_t puestos = 0;
        unsigned siguen = ~borrados & vectores::hasta(vectores::kAncho);
        while (siguen != 0) {
            const std::size_t j = vectores::primera(siguen);
            const std::size_t largo = vectores::primera(~(siguen >> j));
            vectores::guardar(juntos + puestos, vectores::cargar(copia + j));
            puestos += largo;
            siguen &= ~(vectores::hasta(largo) << j);
        }
        vectores::guardar(destino + quedan, vectores::cargar(juntos));
        quedan += puestos;
    }
    // The last bytes, read with the ones before them: when nothing was deleted so far, those are
    // written again as they already are.
    if (i < n && quedan == i && n >= vectores::kAncho) {
        const vectores::Vector v = vectores::cargar(origen + n - vectores::kAncho);
        const unsigned nuevos =
            ~vectores::hasta(vectores::kAncho - (n - i)) & vectores::hasta(vectores::kAncho);
        const vectores::Mascara m = tocados(v);
        if ((vectores::bits(en(v, kBorrados)) & nuevos) == 0) {
            senales |= senalesDe(v);
            vectores::guardar(destino + n - vectores::kAncho,
                              vectores::elegir(m, vectores::todos(' '), v));
            return {n, senales};
        }
    }
    for (; i < n; ++i) {
        uno(i);
    }
    return {quedan, senales};
}

}  // namespace

std::span<const FilaTabla> tablaLimpieza() {
    return kTabla;
}

Rasgos limpieza(std::string_view qLimpiar, std::string& limpia) {
    const std::size_t inicio = limpia.size();
    limpia.append(qLimpiar);
    // One look first: a line with nothing the table touches stays as it is.
    vectores::Mascara toca{};
    vectores::Mascara etiqueta{};
    vectores::Mascara separador{};
    vectores::Mascara w{};
    vectores::paraCada(qLimpiar, [&](const vectores::Vector& v) {
        toca = toca | tocados(v);
        etiqueta = etiqueta | vectores::iguales(v, '<');
        separador = separador | vectores::iguales(v, ',') | vectores::iguales(v, ';');
        w = w | vectores::iguales(v, 'w');
    });
    if (vectores::bits(toca) == 0) {
        return {vectores::bits(separador) != 0, vectores::bits(w) != 0};
    }
    // A tag goes whole before its punctuation is touched; then the map, where the line landed.
    if (vectores::bits(etiqueta) != 0) {
        quitarEtiquetas(limpia, inicio);
    }
    char* aqui = limpia.data() + inicio;
    const auto [quedan, senales] = mapear(aqui, limpia.size() - inicio);
    limpia.resize(inicio + quedan);
    return {(senales & kSenalSeparador) != 0, (senales & kSenalW) != 0};
}

}  // namespace tralmix
