#include "extract/exclusion.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "util/afinado.h"
#include "util/ascii.h"
#include "util/hash.h"
#include "util/memoria.h"
#include "util/paralelo.h"
#include "util/texto.h"

namespace tralmix {
namespace {

// What people put around an address in running text and lists: a full stop after it, quotes,
// rules, a "#" or "*" in front. Taken off both sides, so "*@dominio" is the domain and
// "ana@x.com." the address.
constexpr bool deExtremoEn(unsigned c) {
    return std::string_view(".'!#$%&*+/=?^`{|}~-").find(static_cast<char>(c)) !=
           std::string_view::npos;
}

// What each byte is, looked up once per byte: entries are read by the million.
constexpr std::uint8_t kCorta = 1;
constexpr std::uint8_t kNoMinuscula = 2;  // a capital, or part of a character beyond ASCII
constexpr std::uint8_t kExtremo = 4;
constexpr std::array<std::uint8_t, 256> kClases = [] {
    std::array<std::uint8_t, 256> clases{};
    for (unsigned c = 0; c < 256; ++c) {
        clases[c] =
            static_cast<std::uint8_t>((texto::fueraDeDireccion(c) ? kCorta : 0) |
                                      (c >= 0x80 || (c >= 'A' && c <= 'Z') ? kNoMinuscula : 0) |
                                      (deExtremoEn(c) ? kExtremo : 0));
    }
    return clases;
}();

bool es(char c, std::uint8_t clase) {
    return (kClases[static_cast<unsigned char>(c)] & clase) != 0;
}

bool corta(char c) {
    return es(c, kCorta);
}

bool deExtremo(char c) {
    return es(c, kExtremo);
}

// The classes of all of t's bytes together.
std::uint8_t clasesDe(std::string_view t) {
    std::uint8_t todas = 0;
    for (const char c : t) {
        todas |= kClases[static_cast<unsigned char>(c)];
    }
    return todas;
}

std::string_view sinExtremos(std::string_view p) {
    while (!p.empty() && deExtremo(p.front())) {
        p.remove_prefix(1);
    }
    while (!p.empty() && deExtremo(p.back())) {
        p.remove_suffix(1);
    }
    return p;
}

// One lower-case word with nothing it would be cut at: the common entry. Sixteen bytes at a
// time, the same bytes as kCorta | kNoMinuscula: controls and blanks, " ( ) , : ; < > [ \ ],
// capitals, DEL and whatever lies beyond ASCII.
bool sencilla(std::string_view t) {
    using vectores::entre;
    using vectores::iguales;
    auto otras = [](const vectores::Vector& v) {
        return vectores::bits(entre(v, 0x00, 0x20) | iguales(v, '"') | entre(v, '(', ')') |
                              iguales(v, ',') | entre(v, ':', '<') | iguales(v, '>') |
                              entre(v, 'A', ']') | entre(v, 0x7F, 0xFF));
    };
    const char* p = t.data();
    const std::size_t n = t.size();
    if (n < vectores::kAncho) {
        return (otras(vectores::cargarParte(p, n)) & vectores::hasta(n)) == 0;
    }
    for (std::size_t k = 0; k + vectores::kAncho < n; k += vectores::kAncho) {
        if (otras(vectores::cargar(p + k)) != 0) {
            return false;
        }
    }
    return otras(vectores::cargar(p + n - vectores::kAncho)) == 0;
}

bool enMinusculas(std::string_view p) {
    return (clasesDe(p) & kNoMinuscula) == 0;
}

// The word lower-cased and without its ends; minusculas holds it when it had to be changed.
std::string_view normal(std::string_view palabra, std::string& minusculas) {
    if (enMinusculas(palabra)) {
        return sinExtremos(palabra);
    }
    minusculas.clear();
    texto::agregarMinusculasUtf8(minusculas, palabra);
    return sinExtremos(minusculas);
}

// Calls cadaUna with every word of texto that holds an "@".
template <typename CadaUna>
void palabrasConArroba(std::string_view texto, CadaUna&& cadaUna) {
    const std::size_t n = texto.size();
    std::size_t i = 0;
    while (i < n) {
        while (i < n && corta(texto[i])) {
            ++i;
        }
        std::size_t j = i;
        bool arroba = false;
        while (j < n && !corta(texto[j])) {
            arroba = arroba || texto[j] == '@';
            ++j;
        }
        if (arroba) {
            cadaUna(texto.substr(i, j - i));
        }
        i = j;
    }
}

constexpr std::size_t kBloque = std::size_t{1} << 20;

std::uint32_t huellaDe(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 32) | 1U;
}

}  // namespace

Textos& Textos::operator=(Textos&& otro) noexcept {
    if (this != &otro) {
        ranuras_ = std::exchange(otro.ranuras_, {});
        textos_ = std::exchange(otro.textos_, {});
        bloques_ = std::exchange(otro.bloques_, {});
        libre_ = std::exchange(otro.libre_, nullptr);
        quedan_ = std::exchange(otro.quedan_, 0);
    }
    return *this;
}

std::size_t Textos::buscar(std::uint64_t hash, std::string_view t) const {
    const std::size_t mascara = ranuras_.size() - 1;
    const std::uint32_t huella = huellaDe(hash);
    for (std::size_t i = static_cast<std::size_t>(hash) & mascara;; i = (i + 1) & mascara) {
        const Ranura& r = ranuras_[i];
        if (r.huella == 0 || (r.huella == huella && textos_[r.indice] == t)) {
            return i;
        }
    }
}

void Textos::reservar(std::size_t n) {
    textos_.reserve(n);
    const std::size_t ranuras = std::max<std::size_t>(64, std::bit_ceil(2 * n));
    if (ranuras > ranuras_.size()) {
        recolocar(ranuras);
    }
}

void Textos::crecer() {
    recolocar(ranuras_.empty() ? 64 : 2 * ranuras_.size());
}

void Textos::recolocar(std::size_t ranuras) {
    ranuras_.assign(ranuras, Ranura{});
    const std::size_t mascara = ranuras_.size() - 1;
    for (std::size_t i = 0; i < textos_.size(); ++i) {
        // The texts differ from one another: the first free place is theirs.
        const std::uint64_t hash = hashDe(textos_[i]);
        std::size_t j = static_cast<std::size_t>(hash) & mascara;
        while (ranuras_[j].huella != 0) {
            j = (j + 1) & mascara;
        }
        ranuras_[j] = {huellaDe(hash), static_cast<std::uint32_t>(i)};
    }
}

bool Textos::agregarVista(std::uint64_t hash, std::string_view t) {
    if (2 * (textos_.size() + 1) > ranuras_.size()) {
        crecer();
    }
    Ranura& r = ranuras_[buscar(hash, t)];
    if (r.huella != 0) {
        return false;
    }
    r = {huellaDe(hash), static_cast<std::uint32_t>(textos_.size())};
    textos_.push_back(t);
    return true;
}

bool Textos::insertar(std::string_view t) {
    const std::uint64_t hash = hashDe(t);
    if (contiene(t, hash)) {
        return false;
    }
    if (quedan_ < t.size()) {
        const std::size_t tamano = std::max(kBloque, t.size());
        // Written before it is read: not cleared first (as make_unique would).
        bloques_.push_back(std::unique_ptr<char[]>(new char[tamano]));
        libre_ = bloques_.back().get();
        quedan_ = tamano;
    }
    std::copy(t.begin(), t.end(), libre_);
    agregarVista(hash, std::string_view(libre_, t.size()));
    libre_ += t.size();
    quedan_ -= t.size();
    return true;
}

bool Textos::contiene(std::string_view t) const {
    return contiene(t, hashDe(t));
}

std::uint64_t Textos::hash(std::string_view t) {
    return hashDe(t);
}

bool Textos::contiene(std::string_view t, std::uint64_t hash) const {
    return !textos_.empty() && ranuras_[buscar(hash, t)].huella != 0;
}

void Textos::anticipar(std::uint64_t hash) const {
    if (!textos_.empty()) {
        tralmix::anticipar(&ranuras_[static_cast<std::size_t>(hash) & (ranuras_.size() - 1)]);
    }
}

void Textos::unir(Textos&& otro) {
    if (textos_.empty()) {
        *this = std::move(otro);
        return;
    }
    for (const std::string_view t : otro.textos_) {
        agregarVista(hashDe(t), t);
    }
    for (auto& bloque : otro.bloques_) {
        bloques_.push_back(std::move(bloque));
    }
    otro = Textos();  // its texts lie in blocks that are ours now
}

std::size_t Exclusion::agregarPalabra(std::string_view p) {
    const std::size_t arroba = p.rfind('@');
    // Nothing before or after the "@": names no one.
    if (arroba != std::string_view::npos && arroba != 0 && arroba + 1 != p.size()) {
        return direcciones_.insertar(p) ? 1U : 0U;
    }
    return 0;
}

std::size_t Exclusion::agregarDirecciones(std::string_view texto) {
    std::size_t nuevas = 0;
    std::string minusculas;
    palabrasConArroba(texto, [&](std::string_view palabra) {
        nuevas += agregarPalabra(normal(palabra, minusculas));
    });
    return nuevas;
}

std::size_t Exclusion::agregarLinea(std::string_view linea) {
    std::string_view t = linea;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) {
        t.remove_prefix(1);
    }
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) {
        t.remove_suffix(1);
    }
    // The common line: one lower-case word, with nothing to cut it at.
    if (!t.empty() && t.front() != '*' && t.front() != '@' && sencilla(t)) {
        return t.find('@') == std::string_view::npos ? 0 : agregarPalabra(sinExtremos(t));
    }
    if (t.starts_with('*')) {
        t.remove_prefix(1);
    }
    if (t.size() > 1 && t.front() == '@') {
        const std::string_view dominio = t.substr(1);
        const bool unaPalabra = std::none_of(dominio.begin(), dominio.end(),
                                             [](char c) { return c == '@' || corta(c); });
        if (unaPalabra) {
            std::string minusculas;
            texto::agregarMinusculasUtf8(minusculas, dominio);
            return dominios_.insertar(minusculas) ? 1U : 0U;
        }
    }
    return agregarDirecciones(linea);
}

void Exclusion::unir(Exclusion&& otra) {
    direcciones_.unir(std::move(otra.direcciones_));
    dominios_.unir(std::move(otra.dominios_));
}

bool Exclusion::excluida(std::string_view palabra, std::string& minusculas) const {
    const std::string_view p = normal(palabra, minusculas);
    const std::size_t arroba = p.rfind('@');
    if (arroba == std::string_view::npos || arroba + 1 == p.size()) {
        return false;
    }
    return direcciones_.contiene(p) || dominios_.contiene(p.substr(arroba + 1));
}

bool Exclusion::excluye(std::string_view entrada) const {
    if (vacia()) {
        return false;
    }
    std::string minusculas;
    bool si = false;
    palabrasConArroba(entrada,
                      [&](std::string_view palabra) { si = si || excluida(palabra, minusculas); });
    return si;
}

std::uint64_t Exclusion::aplicar(Arreglo& lineas) const {
    if (vacia()) {
        return 0;
    }
    // Each element is judged alone and only its own place is written: a long list is judged in
    // two halves, one on each core.
    const std::size_t n = lineas.size();
    if (n < afinado::kOrdenEnDos) {
        return aplicarEntre(lineas, 0, n);
    }
    std::uint64_t segunda = 0;
    EnSegundoPlano otra;
    otra.empezar([&] { segunda = aplicarEntre(lineas, n / 2, n); });
    const std::uint64_t primera = aplicarEntre(lineas, 0, n / 2);
    otra.esperar();
    return primera + segunda;
}

std::uint64_t Exclusion::aplicarEntre(Arreglo& lineas, std::size_t desde, std::size_t hasta) const {
    // Most entries are one lower-case address: their places in the tables are fetched a batch
    // ahead, so that the lookups of millions of them do not each wait for memory.
    struct Sencilla {
        std::size_t i;
        std::string_view direccion;
        std::string_view dominio;
        std::uint64_t hashDireccion;
        std::uint64_t hashDominio;
    };
    constexpr std::size_t kTanda = 16;
    std::array<Sencilla, kTanda> tanda;
    std::uint64_t excluidas = 0;
    const auto lugares = lineas.lugares();
    for (std::size_t base = desde; base < hasta; base += kTanda) {
        std::size_t k = 0;
        for (std::size_t i = base; i < std::min(hasta, base + kTanda); ++i) {
            // Sorted, the texts lie all over their block: each is fetched ahead too.
            if (i + afinado::kAdelanto < hasta) {
                tralmix::anticipar(lineas.inicio(i + afinado::kAdelanto));
            }
            if (lugares[i] == 0) {
                continue;
            }
            const std::string_view t = lineas.textoEn(lugares[i]);
            if (!sencilla(t)) {
                if (excluye(t)) {
                    lineas.vaciar(i);
                    ++excluidas;
                }
                continue;
            }
            // The entry is its one word, as excluye would cut it.
            const std::string_view p = sinExtremos(t);
            const std::size_t arroba = p.rfind('@');
            if (arroba == std::string_view::npos || arroba + 1 == p.size()) {
                continue;
            }
            Sencilla& s = tanda[k++];
            s = {i, p, p.substr(arroba + 1), Textos::hash(p), 0};
            direcciones_.anticipar(s.hashDireccion);
            if (!dominios_.empty()) {
                s.hashDominio = Textos::hash(s.dominio);
                dominios_.anticipar(s.hashDominio);
            }
        }
        for (std::size_t j = 0; j < k; ++j) {
            const Sencilla& s = tanda[j];
            if (direcciones_.contiene(s.direccion, s.hashDireccion) ||
                (!dominios_.empty() && dominios_.contiene(s.dominio, s.hashDominio))) {
                lineas.vaciar(s.i);
                ++excluidas;
            }
        }
    }
    return excluidas;
}

}  // namespace tralmix
