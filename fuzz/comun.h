#pragma once

// Shared by the fuzz harnesses: a property that fails stops the run with a message, so that
// libFuzzer keeps the input that broke it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tralmix::fuzz {

[[noreturn]] inline void fallar(const char* propiedad) {
    std::fprintf(stderr, "property failed: %s\n", propiedad);
    std::abort();
}

inline void exigir(bool cumple, const char* propiedad) {
    if (!cumple) {
        fallar(propiedad);
    }
}

// Strict UTF-8, written apart from the engine's codec so that one cannot vouch for itself:
// no overlong forms, no surrogates, nothing above U+10FFFF.
inline bool utf8Valido(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t largo = 0;
        std::uint32_t cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            largo = 2;
            cp = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            largo = 3;
            cp = b & 0x0Fu;
        } else if (b >= 0xF0 && b <= 0xF4) {
            largo = 4;
            cp = b & 0x07u;
        } else {
            return false;
        }
        if (i + largo > s.size()) {
            return false;
        }
        for (std::size_t k = 1; k < largo; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0u) != 0x80u) {
                return false;
            }
            cp = (cp << 6) | (c & 0x3Fu);
        }
        const std::uint32_t minimo = largo == 2 ? 0x80u : largo == 3 ? 0x800u : 0x10000u;
        if (cp < minimo || cp > 0x10FFFFu || (cp >= 0xD800u && cp <= 0xDFFFu)) {
            return false;
        }
        i += largo;
    }
    return true;
}

// Fuzzer bytes as text: each byte one code unit, so that the tables' ASCII words are easy to hit;
// 0xFF followed by two bytes gives any code unit, surrogates included.
inline std::u16string textoDeBytes(const std::uint8_t* datos, std::size_t n) {
    std::u16string t;
    t.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (datos[i] == 0xFF && i + 2 < n) {
            t.push_back(static_cast<char16_t>((datos[i + 1] << 8) | datos[i + 2]));
            i += 2;
        } else {
            t.push_back(static_cast<char16_t>(datos[i]));
        }
    }
    return t;
}

inline bool contiene(std::u16string_view t, std::u16string_view s) {
    return t.find(s) != std::u16string_view::npos;
}

}  // namespace tralmix::fuzz
