#pragma once

// ASCII fast paths shared by both platforms' text modules: most addresses are ASCII, and these
// let the conversions skip the library call for them.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tralmix::texto {

inline bool esAscii(std::u16string_view t) {
    for (char16_t c : t) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

// Length of the leading run of ASCII bytes, eight at a time.
inline std::size_t prefijoAscii(std::string_view t) {
    std::size_t i = 0;
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

// Eight ASCII bytes lower-cased at once: a byte gets 0x20 where adding 0x3F carries it past 0x7F
// (it is "A" or above) and adding 0x25 does not (it is "Z" or below). No byte carries into the
// next, since none is above 0x7F.
inline std::uint64_t minusculasAscii(std::uint64_t v) {
    constexpr std::uint64_t kAltos = 0x8080808080808080ULL;
    const std::uint64_t desdeA = v + 0x3F3F3F3F3F3F3F3FULL;
    const std::uint64_t trasZ = v + 0x2525252525252525ULL;
    return v | (((desdeA & ~trasZ) & kAltos) >> 2);
}

// Lower-cases the ASCII bytes from i on, eight at a time while they last, into d; i and inicio
// move past them.
inline void minusculasAsciiDesde(const std::uint8_t* s, std::size_t n, std::size_t& i,
                                 std::uint8_t* d, std::size_t& inicio) {
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

}  // namespace tralmix::texto
