#include "extract/limpieza.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>
#include <utility>

#include "util/cadenas.h"

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

// The map over n bytes from origen to destino, which may be origen itself: nothing grows, so
// writing never passes reading. Gives how many bytes stay, and what it saw of them.
std::pair<std::size_t, unsigned> mapear(const char* origen, std::size_t n, char* destino) {
    std::size_t quedan = 0;
    unsigned senales = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto u = static_cast<unsigned char>(origen[i]);
        destino[quedan] = kMapa.destino[u];
        quedan += kMapa.queda[u];
        senales |= kMapa.senal[u];
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
    // A tag goes whole before its punctuation is touched; then the map, where the line landed.
    if (qLimpiar.find('<') != std::string_view::npos) {
        quitarEtiquetas(limpia, inicio);
    }
    char* aqui = limpia.data() + inicio;
    const auto [quedan, senales] = mapear(aqui, limpia.size() - inicio, aqui);
    limpia.resize(inicio + quedan);
    return {(senales & kSenalSeparador) != 0, (senales & kSenalW) != 0};
}

}  // namespace tralmix
