#pragma once

// ASCII fast paths shared by both platforms' text modules: most addresses are ASCII, and these
// let the conversions skip the library call for them. Also the small ASCII pieces the file
// readers share: names compared without regard to case, blanks trimmed, folded lines unfolded.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "util/vectores.h"

namespace tralmix::texto {

inline bool esAscii(std::u16string_view t) {
    for (char16_t c : t) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

// Length of the leading run of ASCII bytes, sixteen or eight at a time.
inline std::size_t prefijoAscii(std::string_view t) {
    std::size_t i = 0;
    if constexpr (vectores::kEnRegistros) {
        for (; i + vectores::kAncho <= t.size(); i += vectores::kAncho) {
            if (const unsigned b =
                    vectores::bits(vectores::altos(vectores::cargar(t.data() + i)))) {
                return i + vectores::primera(b);
            }
        }
    }
    for (; i + 8 <= t.size(); i += 8) {
        std::uint64_t ocho = 0;
        std::memcpy(&ocho, t.data() + i, 8);
        if ((ocho & 0x8080808080808080ULL) != 0) {
            break;
        }
    }
    while (i < t.size() && static_cast<unsigned char>(t[i]) < 0x80) {
        ++i;
    }
    return i;
}

// What a text's bytes hold, looked at sixteen at a time: a byte beyond ASCII, a capital letter.
// Most entries of a list hold neither, and need no other look.
struct RasgosAscii {
    bool noAscii = false;
    bool mayusculas = false;
};

inline RasgosAscii rasgosAscii(std::string_view t) {
    vectores::Mascara altos{};
    vectores::Mascara mayusculas{};
    vectores::paraCada(t, [&](const vectores::Vector& v) {
        altos = altos | vectores::altos(v);
        mayusculas = mayusculas | vectores::entre(v, 'A', 'Z');
    });
    return {vectores::bits(altos) != 0, vectores::bits(mayusculas) != 0};
}

// Eight ASCII bytes lower-cased at once: a byte gets 0x20 where adding 0x3F carries it past 0x7F
// (it is "A" or above) and adding 0x25 does not (it is "Z" or below). No byte carries into the
// next, since none is above 0x7F.
inline std::uint64_t minusculasAscii(std::uint64_t v) {
    constexpr std::uint64_t kAltos = 0x8080808080808080ULL;
    const std::uint64_t desdeA = v + 0x3F3F3F3F3F3F3F3FULL;
    const std::uint64_t trasZ = v + 0x2525252525252525ULL;
    return v | (((desdeA & ~trasZ) & kAltos) >> 2);
}

// Lower-cases the ASCII bytes from i on, sixteen or eight at a time while they last, into d; i and
// inicio move past them.
inline void minusculasAsciiDesde(const std::uint8_t* s, std::size_t n, std::size_t& i,
                                 std::uint8_t* d, std::size_t& inicio) {
    if constexpr (vectores::kEnRegistros) {
        for (; i + vectores::kAncho <= n; i += vectores::kAncho, inicio += vectores::kAncho) {
            const vectores::Vector v = vectores::cargar(reinterpret_cast<const char*>(s + i));
            if (vectores::bits(vectores::altos(v)) != 0) {
                break;
            }
            const vectores::Vector mayusculas = vectores::elegir(
                vectores::entre(v, 'A', 'Z'), vectores::todos(0x20), vectores::todos(0));
            vectores::guardar(reinterpret_cast<char*>(d + inicio), v | mayusculas);
        }
    }
    for (; i + 8 <= n; i += 8, inicio += 8) {
        std::uint64_t v = 0;
        std::memcpy(&v, s + i, 8);
        if ((v & 0x8080808080808080ULL) != 0) {
            break;
        }
        v = minusculasAscii(v);
        std::memcpy(d + inicio, &v, 8);
    }
    for (; i < n && s[i] < 0x80; ++i) {
        const std::uint8_t c = s[i];
        d[inicio++] = c >= 'A' && c <= 'Z' ? static_cast<std::uint8_t>(c + ('a' - 'A')) : c;
    }
}

// A text known to be ASCII, lower-cased.
inline std::u16string minusculasAscii(std::u16string_view texto) {
    std::u16string salida(texto);
    for (char16_t& c : salida) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c + (u'a' - u'A'));
        }
    }
    return salida;
}

// Appends an ASCII text to salida, one byte for each code unit.
inline void agregarAscii(std::string& salida, std::u16string_view texto) {
    const std::size_t inicio = salida.size();
    salida.resize(inicio + texto.size());
    for (std::size_t i = 0; i < texto.size(); ++i) {
        salida[inicio + i] = static_cast<char>(texto[i]);
    }
}

// Whether a and b are equal but for the case of ASCII letters (extensions, property and header
// names: never text of other scripts).
template <typename Caracter>
constexpr bool igualesSinMayusculas(std::basic_string_view<Caracter> a,
                                    std::basic_string_view<Caracter> b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        Caracter x = a[i];
        Caracter y = b[i];
        x = x >= 'A' && x <= 'Z' ? static_cast<Caracter>(x - 'A' + 'a') : x;
        y = y >= 'A' && y <= 'Z' ? static_cast<Caracter>(y - 'A' + 'a') : y;
        if (x != y) {
            return false;
        }
    }
    return true;
}

constexpr bool igualesSinMayusculas(std::string_view a, std::string_view b) {
    return igualesSinMayusculas<char>(a, b);
}

constexpr bool igualesSinMayusculas(std::u16string_view a, std::u16string_view b) {
    return igualesSinMayusculas<char16_t>(a, b);
}

constexpr bool empiezaSinMayusculas(std::string_view t, std::string_view inicio) {
    return t.size() >= inicio.size() && igualesSinMayusculas(t.substr(0, inicio.size()), inicio);
}

constexpr bool terminaSinMayusculas(std::u16string_view t, std::u16string_view fin) {
    return t.size() >= fin.size() && igualesSinMayusculas(t.substr(t.size() - fin.size()), fin);
}

constexpr bool esBlanco(char c) {
    return c == ' ' || c == '\t';
}

// Without the spaces and tabs at either end.
constexpr std::string_view sinBlancos(std::string_view t) {
    while (!t.empty() && esBlanco(t.front())) {
        t.remove_prefix(1);
    }
    while (!t.empty() && esBlanco(t.back())) {
        t.remove_suffix(1);
    }
    return t;
}

// Bytes that never stand unquoted in an address: blanks, controls and "(),:;<>[]\\.
constexpr bool fueraDeDireccion(unsigned c) {
    if (c <= 0x20 || c == 0x7F) {
        return true;
    }
    switch (c) {
        case '"':
        case '(':
        case ')':
        case ',':
        case ':':
        case ';':
        case '<':
        case '>':
        case '[':
        case ']':
        case '\\':
            return true;
        default:
            return false;
    }
}

// A logical line of a file whose long lines are folded (LDIF, vCard): a line that begins with a
// space (or a tab, where tabs fold too) goes on the line before, without that first blank.
class LineaPlegada {
  public:
    explicit LineaPlegada(bool conTabulador) : conTabulador_(conTabulador) {}

    // Whether l goes on the logical line begun before it.
    bool continua(std::string_view l) const {
        return hay_ && !l.empty() && (l.front() == ' ' || (conTabulador_ && l.front() == '\t'));
    }
    void empezar(std::string_view l) {
        texto_.assign(l);
        hay_ = true;
    }
    void agregar(std::string_view resto) { texto_.append(resto); }
    // Ends the logical line: whether there was one (its text stays until the next begins).
    bool terminar() {
        const bool habia = hay_;
        hay_ = false;
        return habia;
    }
    bool hay() const { return hay_; }
    std::string& texto() { return texto_; }

  private:
    bool conTabulador_;
    bool hay_ = false;
    std::string texto_;
};

}  // namespace tralmix::texto
