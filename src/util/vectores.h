#pragma once

// Sixteen bytes looked at together, for the scans that pass over every byte of a run (line ends,
// the cleaning map, the list's filter, the look for invisible characters). Written once for every
// compiler the project builds with, as the compilers' own vector types: SSE2 on x86-64,
// WebAssembly SIMD in the browser (-msimd128). Where the processor has no vector registers (the
// 32-bit Windows build), the same operations go a byte at a time.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace tralmix::vectores {

inline constexpr std::size_t kAncho = 16;

#if defined(__SSE2__) || defined(__wasm_simd128__) || defined(__ARM_NEON)

inline constexpr bool kEnRegistros = true;

using Vector = std::uint8_t __attribute__((vector_size(16)));
// A comparison's answer: every lane 0 or all ones.
using Mascara = signed char __attribute__((vector_size(16)));

inline Vector cargar(const char* p) {
    Vector v;
    std::memcpy(&v, p, kAncho);
    return v;
}
inline void guardar(char* p, Vector v) {
    std::memcpy(p, &v, kAncho);
}
inline Mascara iguales(Vector v, std::uint8_t c) {
    return v == c;
}
// Lanes from a to b, both included (a ≤ b).
inline Mascara entre(Vector v, std::uint8_t a, std::uint8_t b) {
    return (v - a) <= static_cast<std::uint8_t>(b - a);
}
// Lanes from 0x80 on.
inline Mascara altos(Vector v) {
    return v >= std::uint8_t{0x80};
}
// Every lane c.
inline Vector todos(std::uint8_t c) {
    return Vector{} + c;
}
// Each lane from si where m is set, otherwise from no.
inline Vector elegir(Mascara m, Vector si, Vector no) {
    Vector u;
    std::memcpy(&u, &m, kAncho);
    return (si & u) | (no & ~u);
}

// One bit for each lane, lane 0 the lowest.
inline unsigned bits(Mascara m) {
#if defined(__SSE2__)
    __m128i x;
    std::memcpy(&x, &m, kAncho);
    return static_cast<unsigned>(_mm_movemask_epi8(x));
#elif defined(__wasm_simd128__)
    v128_t x;
    std::memcpy(&x, &m, kAncho);
    return static_cast<unsigned>(wasm_i8x16_bitmask(x));
#else
    std::uint64_t mitades[2];
    std::memcpy(mitades, &m, kAncho);
    auto ocho = [](std::uint64_t x) {
        return static_cast<unsigned>(((x & 0x8080808080808080ULL) * 0x0002040810204081ULL) >> 56);
    };
    return ocho(mitades[0]) | (ocho(mitades[1]) << 8);
#endif
}

#else

inline constexpr bool kEnRegistros = false;

struct Vector {
    std::uint8_t b[kAncho];

    friend Vector operator|(Vector x, const Vector& y) {
        for (std::size_t k = 0; k < kAncho; ++k) {
            x.b[k] = static_cast<std::uint8_t>(x.b[k] | y.b[k]);
        }
        return x;
    }
};
struct Mascara {
    std::uint8_t b[kAncho];

    friend Mascara operator|(Mascara x, const Mascara& y) {
        for (std::size_t k = 0; k < kAncho; ++k) {
            x.b[k] = static_cast<std::uint8_t>(x.b[k] | y.b[k]);
        }
        return x;
    }
    friend Mascara operator&(Mascara x, const Mascara& y) {
        for (std::size_t k = 0; k < kAncho; ++k) {
            x.b[k] = static_cast<std::uint8_t>(x.b[k] & y.b[k]);
        }
        return x;
    }
    friend Mascara operator~(Mascara x) {
        for (std::uint8_t& c : x.b) {
            c = static_cast<std::uint8_t>(~c);
        }
        return x;
    }
};

inline Vector cargar(const char* p) {
    Vector v;
    std::memcpy(v.b, p, kAncho);
    return v;
}
inline void guardar(char* p, const Vector& v) {
    std::memcpy(p, v.b, kAncho);
}
template <typename Prueba>
Mascara cada(const Vector& v, Prueba prueba) {
    Mascara m;
    for (std::size_t k = 0; k < kAncho; ++k) {
        m.b[k] = prueba(v.b[k]) ? 0xFF : 0;
    }
    return m;
}
inline Mascara iguales(const Vector& v, std::uint8_t c) {
    return cada(v, [c](std::uint8_t x) { return x == c; });
}
inline Mascara entre(const Vector& v, std::uint8_t a, std::uint8_t b) {
    return cada(v, [a, b](std::uint8_t x) { return x >= a && x <= b; });
}
inline Mascara altos(const Vector& v) {
    return cada(v, [](std::uint8_t x) { return x >= 0x80; });
}
inline Vector todos(std::uint8_t c) {
    Vector v;
    std::memset(v.b, c, kAncho);
    return v;
}
inline Vector elegir(const Mascara& m, const Vector& si, const Vector& no) {
    Vector v;
    for (std::size_t k = 0; k < kAncho; ++k) {
        v.b[k] = m.b[k] != 0 ? si.b[k] : no.b[k];
    }
    return v;
}
inline unsigned bits(const Mascara& m) {
    unsigned r = 0;
    for (std::size_t k = 0; k < kAncho; ++k) {
        r |= static_cast<unsigned>(m.b[k] & 1) << k;
    }
    return r;
}

#endif

// The first n < 16 bytes at p, the other lanes 0: the end of a text, never read past.
inline Vector cargarParte(const char* p, std::size_t n) {
    char copia[kAncho] = {};
    std::memcpy(copia, p, n);
    return cargar(copia);
}

// Calls mirar with vectors that hold, between them, every byte of t and no other (some twice,
// lanes past a short text's end 0): for questions about any byte of a text, where neither the
// order nor repeats matter. A short text costs a few loads, no copy.
template <typename Mirar>
void paraCada(std::string_view t, Mirar&& mirar) {
    const char* p = t.data();
    const std::size_t n = t.size();
    if (n >= kAncho) {
        for (std::size_t k = 0; k + kAncho < n; k += kAncho) {
            mirar(cargar(p + k));
        }
        mirar(cargar(p + n - kAncho));
        return;
    }
    // Two overlapping words from both ends, or the three bytes there are.
    char copia[kAncho] = {};
    if (n >= 8) {
        std::memcpy(copia, p, 8);
        std::memcpy(copia + 8, p + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(copia, p, 4);
        std::memcpy(copia + 4, p + n - 4, 4);
    } else if (n > 0) {
        copia[0] = p[0];
        copia[1] = p[n / 2];
        copia[2] = p[n - 1];
    }
    mirar(cargar(copia));
}

// The lanes below n (n ≤ 16), as bits.
constexpr unsigned hasta(std::size_t n) {
    return (1u << n) - 1u;
}

// The first lane set, of a mask with one.
inline std::size_t primera(unsigned b) {
    return static_cast<std::size_t>(std::countr_zero(b));
}

}  // namespace tralmix::vectores
