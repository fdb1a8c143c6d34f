#pragma once

// efectos: the window's background, a vertical gradient of 64 solid bands.

#include <cstdint>
#include <vector>

class QImage;
class QWidget;

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
// values are single precision and every rounding goes half to even, so the rows and colours match
// the original painter band for band.
std::vector<Banda> bandasDegradado(int ancho, int alto, Color inicio, Color fin);

// Paints the bands into the image (its whole size); bands without rows paint nothing.
void pintarDegradado(QImage& imagen, Color inicio, Color fin);

// degradado: paints the window's client area with the gradient into a kept background image, so
// the gradient stays behind the controls for the life of the window.
void degradado(QWidget& ventana, Color inicio, Color fin);

}  // namespace tralmix
