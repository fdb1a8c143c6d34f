// The clean-up of list entries: the words of an entry that may be addresses, each judged by
// esEnviable.

#include "extract/depuracion.h"

#include <array>
#include <cstdint>
#include <optional>

#include "util/ascii.h"
#include "util/texto.h"

namespace tralmix {
namespace {

constexpr unsigned char byte(char c) {
    return static_cast<unsigned char>(c);
}

// Lower-casing can shorten a word (U+212A KELVIN SIGN becomes "k") at most to a third; longer
// words are no address, and are never lower-cased.
constexpr std::size_t kMaxPalabra = 3 * kMaxDireccion;

// What a byte may start: a separator of its own (blanks, controls, the punctuation that
// surrounds or separates addresses in pasted text), perhaps one of several bytes, or neither.
enum Clase : std::uint8_t { kLetra, kSeparador, kQuizas };

constexpr std::array<Clase, 256> kClases = [] {
    std::array<Clase, 256> c{};
    for (std::size_t b = 0; b <= 0x20; ++b) {
        c[b] = kSeparador;
    }
    c[0x7F] = kSeparador;
    for (const char s : std::string_view(",;:<>()[]\"")) {
        c[byte(s)] = kSeparador;
    }
    c[0xC2] = kQuizas;
    c[0xE2] = kQuizas;
    c[0xE3] = kQuizas;
    return c;
}();

// The length of the separator at entrada[i], or 0.
std::size_t largoSeparador(std::string_view entrada, std::size_t i) {
    const Clase clase = kClases[byte(entrada[i])];
    if (clase != kQuizas) {
        return clase == kSeparador ? 1 : 0;
    }
    const std::string_view s = entrada.substr(i, 3);
    const unsigned char b = byte(s[0]);
    // U+00A0, « and »; “ ” „; U+3000.
    if (s.size() >= 2 && b == 0xC2 &&
        (byte(s[1]) == 0xA0 || byte(s[1]) == 0xAB || byte(s[1]) == 0xBB)) {
        return 2;
    }
    if (s.size() == 3 && b == 0xE2 && byte(s[1]) == 0x80 && byte(s[2]) >= 0x9C &&
        byte(s[2]) <= 0x9E) {
        return 3;
    }
    if (s.size() == 3 && b == 0xE3 && byte(s[1]) == 0x80 && byte(s[2]) == 0x80) {
        return 3;
    }
    return 0;
}

// ‘ or ’ at the start or the end of s.
bool comillaSimpleAlPrincipio(std::string_view s) {
    return s.size() >= 3 && byte(s[0]) == 0xE2 && byte(s[1]) == 0x80 &&
           (byte(s[2]) == 0x98 || byte(s[2]) == 0x99);
}

bool comillaSimpleAlFinal(std::string_view s) {
    return s.size() >= 3 && byte(s[s.size() - 3]) == 0xE2 && byte(s[s.size() - 2]) == 0x80 &&
           (byte(s.back()) == 0x98 || byte(s.back()) == 0x99);
}

bool precedidaDeMailto(std::string_view entrada, std::size_t inicio) {
    constexpr std::string_view kMailto = "mailto:";
    if (inicio < kMailto.size()) {
        return false;
    }
    for (std::size_t k = 0; k < kMailto.size(); ++k) {
        const char c = entrada[inicio - kMailto.size() + k];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c) != kMailto[k]) {
            return false;
        }
    }
    return true;
}

}  // namespace

void Depurador::palabra(std::string_view entrada, std::size_t inicio, std::size_t fin) {
    std::string_view p = entrada.substr(inicio, fin - inicio);
    if (p.find('@') == std::string_view::npos) {
        return;
    }
    if (precedidaDeMailto(entrada, inicio)) {
        p = p.substr(0, p.find('?'));
    }
    for (bool otra = true; otra && !p.empty();) {
        otra = false;
        if (p.front() == '\'') {
            p.remove_prefix(1);
            otra = true;
        } else if (comillaSimpleAlPrincipio(p)) {
            p.remove_prefix(3);
            otra = true;
        }
        if (p.empty()) {
            break;
        }
        if (p.back() == '\'' || p.back() == '.') {
            p.remove_suffix(1);
            otra = true;
        } else if (comillaSimpleAlFinal(p)) {
            p.remove_suffix(3);
            otra = true;
        }
    }
    if (p.empty() || p.size() > kMaxPalabra) {
        return;
    }
    const std::size_t antes = texto_.size();
    if (texto::prefijoAscii(p) == p.size()) {
        texto_.append(p);
        for (std::size_t k = antes; k < texto_.size(); ++k) {
            if (texto_[k] >= 'A' && texto_[k] <= 'Z') {
                texto_[k] = static_cast<char>(texto_[k] + ('a' - 'A'));
            }
        }
    } else if (texto::esUtf8(p)) {
        texto::agregarMinusculasUtf8(texto_, p);
    } else {
        return;
    }
    if (juez_.enviable(std::string_view(texto_).substr(antes))) {
        finales_.push_back(texto_.size());
        trasEspacio_.push_back(inicio > 0 && entrada[inicio - 1] == ' ' &&
                               entrada.find_first_not_of(' ') < inicio - 1);
    } else {
        texto_.resize(antes);
    }
}

Depuracion Depurador::depurar(std::string_view entrada) {
    texto_.clear();
    finales_.clear();
    vistas_.clear();
    trasEspacio_.clear();
    for (std::size_t i = 0; i < entrada.size();) {
        if (const std::size_t s = largoSeparador(entrada, i); s > 0) {
            i += s;
            continue;
        }
        const std::size_t inicio = i;
        while (i < entrada.size() &&
               (kClases[byte(entrada[i])] == kLetra || largoSeparador(entrada, i) == 0)) {
            ++i;
        }
        palabra(entrada, inicio, i);
    }
    std::size_t desde = 0;
    for (const std::size_t hasta : finales_) {
        vistas_.push_back(std::string_view(texto_).substr(desde, hasta - desde));
        desde = hasta;
    }
    if (vistas_.empty()) {
        return Depuracion::Descartada;
    }
    return vistas_.size() == 1 && vistas_[0] == entrada ? Depuracion::SinCambios
                                                        : Depuracion::Reducida;
}

namespace {

// An ASCII entry that esEnviable takes is what the clean-up makes of it, lower-cased: it holds
// no separator, nothing to take off its end (a domain ends in a letter or digit) and no
// "mailto:"; only a quote may begin a local part.
bool enviableAscii(std::string_view t, const texto::RasgosAscii& rasgos, JuezEnviable& juez) {
    return !rasgos.noAscii && !t.empty() && t.front() != '\'' && juez.enviable(t);
}

}  // namespace

bool Depurador::talCual(std::string_view entrada) {
    const std::string_view t = texto::recortar(entrada);
    const texto::RasgosAscii rasgos = texto::rasgosAscii(t);
    if (enviableAscii(t, rasgos, juez_)) {
        return true;
    }
    if (!rasgos.noAscii || !texto::esUtf8(t) || depurar(t) == Depuracion::Descartada ||
        vistas_.size() != 1) {
        return false;
    }
    if (vistas_[0] == t) {
        return true;
    }
    minusculas_.clear();
    texto::agregarMinusculasUtf8(minusculas_, t);
    return vistas_[0] == minusculas_;
}

ListaDepurada depurarLista(Arreglo& lineas, const TextoOriginal& original) {
    ListaDepurada cuenta;
    Depurador depurador;
    std::string minusculas;
    std::vector<std::string_view> elegidas;
    Arreglo otras;  // the second and later addresses of an entry, and those grown by lower-casing
    paraCadaEntrada(lineas, [&](std::size_t i, std::string_view tal, std::string_view t) {
        ++cuenta.entradas;
        // One look at the bytes tells the common entry: ASCII, perhaps with capitals.
        const texto::RasgosAscii rasgos = texto::rasgosAscii(t);
        if (enviableAscii(t, rasgos, depurador.juez())) {
            if (rasgos.mayusculas) {
                minusculas.assign(t);
                for (char& c : minusculas) {
                    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
                }
                lineas.acortar(i, minusculas);
            } else if (t.size() != tal.size()) {
                lineas.acortar(i, t);
            }
            return;
        }
        const std::optional<std::string_view> verdadero =
            original ? original(t) : std::optional<std::string_view>();
        depurador.depurar(verdadero ? *verdadero : t);
        elegidas.clear();
        for (std::size_t k = 0; k < depurador.direcciones().size(); ++k) {
            if (verdadero || !original || !depurador.trasEspacio(k)) {
                elegidas.push_back(depurador.direcciones()[k]);
            }
        }
        if (elegidas.empty()) {
            lineas.vaciar(i);
            ++cuenta.descartadas;
            return;
        }
        const std::span<const std::string_view> direcciones = elegidas;
        bool corregida = direcciones.size() != 1;
        if (!corregida && direcciones[0] != t) {
            minusculas.clear();
            texto::agregarMinusculasUtf8(minusculas, t);
            corregida = direcciones[0] != minusculas;
        }
        cuenta.corregidas += corregida ? 1U : 0U;
        // The block's text is read no more: the entry's place may take the address.
        if (direcciones[0].size() <= tal.size()) {
            lineas.acortar(i, direcciones[0]);
        } else {
            lineas.vaciar(i);
            otras.agregar(direcciones[0]);
        }
        for (std::size_t k = 1; k < direcciones.size(); ++k) {
            otras.agregar(direcciones[k]);
        }
    });
    lineas.anexar(std::move(otras));
    return cuenta;
}

}  // namespace tralmix
