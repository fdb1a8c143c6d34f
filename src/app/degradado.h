#pragma once

// efectos: the window's background, a vertical gradient of 64 solid bands.

#include "ventana/bandas.h"

class QImage;
class QWidget;

namespace tralmix {

// Paints the bands into the image (its whole size); bands without rows paint nothing.
void pintarDegradado(QImage& imagen, Color inicio, Color fin);

// degradado: paints the window's client area with the gradient into a kept background image, so
// the gradient stays behind the controls for the life of the window.
void degradado(QWidget& ventana, Color inicio, Color fin);

}  // namespace tralmix
