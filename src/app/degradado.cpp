#include "app/degradado.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

namespace tralmix {

void pintarDegradado(QImage& imagen, Color inicio, Color fin) {
    if (imagen.isNull()) {
        return;  // a client area without rows or columns: nothing to paint
    }
    QPainter pintor(&imagen);
    for (const Banda& banda : bandasDegradado(imagen.width(), imagen.height(), inicio, fin)) {
        if (banda.abajo > banda.arriba && banda.derecha > 0) {
            pintor.fillRect(0, banda.arriba, banda.derecha, banda.abajo - banda.arriba,
                            QColor(banda.rojo, banda.verde, banda.azul));
        }
    }
}

void degradado(QWidget& ventana, Color inicio, Color fin) {
    const QSize tamano = ventana.size();
    QImage imagen(tamano, QImage::Format_RGB32);
    // Rows the bands leave out keep the window's own background colour.
    imagen.fill(ventana.palette().color(QPalette::Window));
    pintarDegradado(imagen, inicio, fin);

    QPalette paleta = ventana.palette();
    paleta.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(imagen)));
    ventana.setPalette(paleta);
    ventana.setAutoFillBackground(true);
}

}  // namespace tralmix
