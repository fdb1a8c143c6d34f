#include "extract/normalizador.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "extract/tabla_masivo.h"
#include "util/cadenas.h"
#include "util/vectores.h"

namespace tralmix {
namespace {

// The table's runs of alike rows, 0-based, each from its first row to one past its last.
constexpr std::size_t kEncabezadosDesde = 2;  // "de:" … "cco:"
constexpr std::size_t kEncabezadosHasta = 14;
constexpr std::size_t kSignosDesde = 14;  // "<", ">", the quote, ":"
constexpr std::size_t kSignosHasta = 18;
constexpr std::size_t kFilaAdd = 18;
constexpr std::size_t kSeparadoresDesde = 20;  // ",", ";"
constexpr std::size_t kSeparadoresHasta = 22;
constexpr std::size_t kFilaFinDeLinea = 22;  // CR LF
constexpr std::size_t kPuntosDesde = 23;
constexpr std::size_t kGuionesDesde = 29;

constexpr bool unCaracterAEspacio(std::size_t desde, std::size_t hasta) {
    for (std::size_t i = desde; i < hasta; ++i) {
        if (kTablaMasivo[i].buscado.size() != 1 || kTablaMasivo[i].buscado[0] == ' ' ||
            static_cast<unsigned char>(kTablaMasivo[i].buscado[0]) >= 128 ||
            kTablaMasivo[i].reemplazo != " ") {
            return false;
        }
    }
    return true;
}

// What the line-by-line form relies on; see normalizarLinea.
constexpr bool formaDeLaTabla() {
    for (std::size_t i = 0; i < kTablaMasivo.size(); ++i) {
        const auto& f = kTablaMasivo[i];
        const bool finDeLinea = i == kFilaFinDeLinea;
        if (finDeLinea != (f.buscado == "\r\n") ||
            (!finDeLinea && (f.buscado.find_first_of("\r\n") != std::string_view::npos)) ||
            (f.reemplazo != "" && f.reemplazo != " ")) {
            return false;
        }
        const bool encabezado = i >= kEncabezadosDesde && i < kEncabezadosHasta;
        if (encabezado && (f.buscado.find(':') != f.buscado.size() - 1 ||
                           f.buscado.find(' ') != std::string_view::npos || f.reemplazo != " ")) {
            return false;
        }
        // The runs of dots and dashes, from the longest to two, one character shorter each row.
        const std::size_t mayor = i < kGuionesDesde ? kGuionesDesde - kPuntosDesde + 1
                                                    : kTablaMasivo.size() - kGuionesDesde + 1;
        const std::size_t desde = i < kGuionesDesde ? kPuntosDesde : kGuionesDesde;
        if (i >= kPuntosDesde && (f.buscado.size() != mayor - (i - desde) ||
                                  f.buscado.find_first_not_of(i < kGuionesDesde ? '.' : '-') !=
                                      std::string_view::npos)) {
            return false;
        }
    }
    return unCaracterAEspacio(kSignosDesde, kSignosHasta) &&
           unCaracterAEspacio(kSeparadoresDesde, kSeparadoresHasta) &&
           kTablaMasivo[kFilaAdd].buscado == "add" && kEncabezadosHasta <= kSignosDesde;
}
static_assert(formaDeLaTabla(), "the line-by-line form assumes this shape of the table");

// The "add" of an "Add sender to contacts" link glued to the address before it ends a word:
// what follows is a space, tab, line end, "," or ";", the end of the text, or the rest of the
// link.
bool terminaPalabra(std::string_view texto, std::size_t despues) {
    if (despues == texto.size()) {
        return true;
    }
    switch (texto[despues]) {
        case ' ':
        case '\t':
        case '\r':
        case '\n':
        case ',':
        case ';':
            return true;
        default:
            return texto.substr(despues).starts_with("sender to contacts");
    }
}

// Row 19, in place: "add" becomes one space where it ends a word.
void quitarAddFinal(std::string& texto) {
    constexpr std::string_view add = "add";
    const std::string_view vista(texto);
    std::size_t hallado = buscar(vista, add);
    if (hallado == std::string_view::npos) {
        return;
    }
    std::size_t escrito = 0;
    std::size_t leido = 0;
    while (hallado != std::string_view::npos) {
        if (terminaPalabra(vista, hallado + add.size())) {
            std::memmove(texto.data() + escrito, texto.data() + leido, hallado - leido);
            escrito += hallado - leido;
            texto[escrito++] = ' ';
            leido = hallado + add.size();
            hallado = buscar(vista, add, leido);
        } else {
            hallado = buscar(vista, add, hallado + 1);
        }
    }
    std::memmove(texto.data() + escrito, texto.data() + leido, texto.size() - leido);
    texto.resize(escrito + texto.size() - leido);
}

// The bytes the rows look for, each given one bit: what a line holds of them fits in one number.
struct Bits {
    std::array<std::uint64_t, 256> de{};
    unsigned cuantos = 0;
};

constexpr Bits crearBits() {
    Bits b;
    for (const FilaTabla& f : kTablaMasivo) {
        for (const char c : f.buscado) {
            const auto u = static_cast<unsigned char>(c);
            // A space can appear where there was none, so it is never a reason to skip a row.
            if (c != ' ' && b.de[u] == 0) {
                b.de[u] = std::uint64_t{1} << b.cuantos++;
            }
        }
    }
    return b;
}

constexpr Bits kBits = crearBits();
static_assert(kBits.cuantos <= 64);

// Each row's bytes, as bits.
constexpr std::array<std::uint64_t, kTablaMasivo.size()> crearNecesita() {
    std::array<std::uint64_t, kTablaMasivo.size()> t{};
    for (std::size_t i = 0; i < kTablaMasivo.size(); ++i) {
        for (const char c : kTablaMasivo[i].buscado) {
            t[i] |= kBits.de[static_cast<unsigned char>(c)];
        }
    }
    return t;
}

constexpr auto kNecesita = crearNecesita();

// The bytes a line holds of those the rows look for, and whether it holds ".." or "--".
struct Presentes {
    std::uint64_t bits = 0;
    bool puntos = false;
    bool guiones = false;
};

bool posible(std::size_t fila, const Presentes& presentes) {
    return (presentes.bits & kNecesita[fila]) == kNecesita[fila];
}

bool alguno(std::size_t desde, std::size_t hasta, const Presentes& presentes) {
    for (std::size_t i = desde; i < hasta; ++i) {
        if (posible(i, presentes)) {
            return true;
        }
    }
    return false;
}

// The rows of dots (seven down to two) or of dashes (ten down to two), longest first, on one
// run of k of them: each row takes what it can from the left, so the run becomes k / largest
// spaces, then what is left: nothing, the single character (which no row takes), or one more
// space. Runs never meet, since each ends at another character and nothing here makes one.
void quitarRayas(std::string& t, char c, std::size_t mayor) {
    std::size_t escrito = 0;
    const std::size_t n = t.size();
    for (std::size_t i = 0; i < n;) {
        if (t[i] != c || i + 1 >= n || t[i + 1] != c) {
            t[escrito++] = t[i++];
            continue;
        }
        std::size_t k = 0;
        while (i + k < n && t[i + k] == c) {
            ++k;
        }
        i += k;
        for (std::size_t g = k / mayor; g > 0; --g) {
            t[escrito++] = ' ';
        }
        if (k % mayor == 1) {
            t[escrito++] = c;
        } else if (k % mayor > 1) {
            t[escrito++] = ' ';
        }
    }
    t.resize(escrito);
}

// Rows "de:" to "cco:" in one pass. Each of their texts ends in its only ":", so a match ends at a
// ":" of the line and holds no other; matches at different ":" never overlap, and the space a
// match leaves is no part of any of these texts. Each ":" is therefore taken by the first of
// these rows, in table order, whose text ends there, whatever the other rows do elsewhere.
void quitarEncabezados(std::string& t) {
    std::size_t dos = t.find(':');
    std::size_t escrito = 0;
    std::size_t leido = 0;
    while (dos != std::string::npos) {
        const std::string_view antes = std::string_view(t).substr(leido, dos + 1 - leido);
        for (std::size_t fila = kEncabezadosDesde; fila < kEncabezadosHasta; ++fila) {
            const std::string_view b = kTablaMasivo[fila].buscado;
            if (antes.ends_with(b)) {
                const std::size_t inicio = dos + 1 - b.size();
                std::memmove(t.data() + escrito, t.data() + leido, inicio - leido);
                escrito += inicio - leido;
                t[escrito++] = ' ';
                leido = dos + 1;
                break;
            }
        }
        dos = t.find(':', dos + 1);
    }
    if (leido > 0) {
        std::memmove(t.data() + escrito, t.data() + leido, t.size() - leido);
        t.resize(escrito + t.size() - leido);
    }
}

// A run of rows that each turn one character into a space, in one pass: none of them seeks a
// space, so their order does not matter.
using MapaEspacios = std::array<char, 256>;

constexpr MapaEspacios crearMapaEspacios(std::size_t desde, std::size_t hasta) {
    MapaEspacios m{};
    for (std::size_t b = 0; b < 256; ++b) {
        m[b] = static_cast<char>(b);
    }
    for (std::size_t i = desde; i < hasta; ++i) {
        m[static_cast<unsigned char>(kTablaMasivo[i].buscado[0])] = ' ';
    }
    return m;
}

constexpr MapaEspacios kMapaSignos = crearMapaEspacios(kSignosDesde, kSignosHasta);

// The run of rows of the signs, sixteen bytes at a time: each of their bytes becomes a space.
void aEspacios(std::string& t) {
    constexpr auto signos = [] {
        std::array<unsigned char, kSignosHasta - kSignosDesde> s{};
        for (std::size_t i = kSignosDesde; i < kSignosHasta; ++i) {
            s[i - kSignosDesde] = static_cast<unsigned char>(kTablaMasivo[i].buscado[0]);
        }
        return s;
    }();
    std::size_t i = 0;
    for (; i + vectores::kAncho <= t.size(); i += vectores::kAncho) {
        const vectores::Vector v = vectores::cargar(t.data() + i);
        vectores::Mascara m{};
        for (const unsigned char c : signos) {
            m = m | vectores::iguales(v, c);
        }
        vectores::guardar(t.data() + i, vectores::elegir(m, vectores::todos(' '), v));
    }
    for (; i < t.size(); ++i) {
        t[i] = kMapaSignos[static_cast<unsigned char>(t[i])];
    }
}

}  // namespace

// The table on one line of the message text, lower-cased, which ends in a space where the text
// has its CR LF: the line's only CR and LF are that pair at its end, no other row seeks either,
// and the only row that looks past what it finds ("add") takes a space as it takes a CR, so the
// CR LF row is done before the others. Rows only delete or put a space in place of what they
// find, so no byte appears that the line did not hold before, except the space: a row that needs
// a byte the line lacks finds nothing and is skipped, and so are the rows of dots or dashes when
// no ".." or "--" is left.
void normalizarLinea(std::string& t) {
    Presentes presentes;
    std::uint64_t bits = 0;  // a local, kept in a register
    for (const char c : t) {
        bits |= kBits.de[static_cast<unsigned char>(c)];
    }
    presentes.bits = bits;
    presentes.puntos = (bits & kBits.de['.']) != 0 && t.find("..") != std::string::npos;
    presentes.guiones = (bits & kBits.de['-']) != 0 && t.find("--") != std::string::npos;
    // Deleting ".html" or ".htm" can bring dots or dashes together; nothing else can.
    const std::size_t largo = t.size();
    for (std::size_t fila = 0; fila < kEncabezadosDesde; ++fila) {
        if (posible(fila, presentes)) {
            reemplazar(t, kTablaMasivo[fila].buscado, kTablaMasivo[fila].reemplazo);
        }
    }
    if (t.size() != largo) {
        presentes.puntos = t.find("..") != std::string::npos;
        presentes.guiones = t.find("--") != std::string::npos;
    }
    if (alguno(kEncabezadosDesde, kEncabezadosHasta, presentes)) {
        quitarEncabezados(t);
    }
    if (alguno(kSignosDesde, kSignosHasta, presentes)) {
        aEspacios(t);
    }
    for (std::size_t fila = kSignosHasta; fila < kSeparadoresDesde; ++fila) {
        if (!posible(fila, presentes)) {
            continue;
        }
        if (fila == kFilaAdd) {
            quitarAddFinal(t);
        } else {
            reemplazar(t, kTablaMasivo[fila].buscado, kTablaMasivo[fila].reemplazo);
        }
    }
    // Rows "," and ";" are left to the word scan, which cuts at them as at a space: no later row
    // looks for either, nor for a space.
    if (presentes.puntos) {
        quitarRayas(t, '.', kGuionesDesde - kPuntosDesde + 1);
    }
    if (presentes.guiones) {
        quitarRayas(t, '-', kTablaMasivo.size() - kGuionesDesde + 1);
    }
}

}  // namespace tralmix
