#pragma once

// efectos without a toolkit: the 64 bands of the window's gradient, worked out once for every
// window that paints them (the Qt one and the Win32 one).

#include <cstdint>
#include <vector>

namespace tralmix {

// A colour as the platform stores it: red in the lowest byte, then green, then blue.
using Color = std::uint32_t;

constexpr Color colorRGB(std::uint8_t rojo, std::uint8_t verde, std::uint8_t azul) {
    return static_cast<Color>(rojo) | (static_cast<Color>(verde) << 8) |
           (static_cast<Color>(azul) << 16);
}

inline constexpr int kBandas = 64;

// One band: rows arriba to abajo and columns 0 to derecha, both ends exclusive, in one colour.
struct Banda {
    int arriba = 0;
    int abajo = 0;
    int derecha = 0;
    int rojo = 0;
    int verde = 0;
    int azul = 0;
};

// The 64 bands for a client area of the given size, in painting order. The steps and running
// values are single precision and every rounding goes half to even: the rows and colours of every
// band come out the same on every platform and in every front end.
std::vector<Banda> bandasDegradado(int ancho, int alto, Color inicio, Color fin);

}  // namespace tralmix
