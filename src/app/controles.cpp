#include "app/controles.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include "ventana/diseno.h"

namespace tralmix {

void BotonArchivo::keyPressEvent(QKeyEvent* evento) {
    if ((evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) &&
        !evento->isAutoRepeat()) {
        click();
        return;
    }
    QPushButton::keyPressEvent(evento);
}

void BotonArchivo::paintEvent(QPaintEvent* evento) {
    QPushButton::paintEvent(evento);
    if (!hasFocus()) {
        return;
    }
    // The style marks focus with a thin outline in the highlight colour, which the blue window
    // swallows, and only after a Tab: a dotted frame on the face shows it from the start.
    QPainter pintor(this);
    pintor.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    pintor.drawRect(rect().adjusted(4, 4, -5, -5));
}

QCursor cursorMano() {
    return {QBitmap(QStringLiteral(":/tralmix/mano.xbm")),
            QBitmap(QStringLiteral(":/tralmix/mano_mascara.xbm")), vista::kManoX, vista::kManoY};
}

void Imagen::mousePressEvent(QMouseEvent* evento) {
    presionada_ = evento->button() == Qt::LeftButton;
    QLabel::mousePressEvent(evento);
}

void Imagen::mouseReleaseEvent(QMouseEvent* evento) {
    // A click is a press and a release of the left button over the image.
    const bool pulsada = presionada_ && evento->button() == Qt::LeftButton &&
                         rect().contains(evento->position().toPoint());
    presionada_ = false;
    QLabel::mouseReleaseEvent(evento);
    if (pulsada && alPulsar) {
        alPulsar();
    }
}

void Imagen::mouseDoubleClickEvent(QMouseEvent* evento) {
    QLabel::mouseDoubleClickEvent(evento);
    if (evento->button() == Qt::LeftButton && alDobleClic) {
        alDobleClic();
    }
}

void Imagen::keyPressEvent(QKeyEvent* evento) {
    const int tecla = evento->key();
    if ((tecla == Qt::Key_Return || tecla == Qt::Key_Enter || tecla == Qt::Key_Space) &&
        !evento->isAutoRepeat() && alTeclear) {
        alTeclear();
        return;
    }
    QLabel::keyPressEvent(evento);
}

void Imagen::paintEvent(QPaintEvent* evento) {
    QLabel::paintEvent(evento);
    if (hasFocus()) {
        // White on the blue window, where the style's own mark would not show.
        QPainter pintor(this);
        pintor.setPen(QPen(QColor(255, 255, 255), 1, Qt::DotLine));
        pintor.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CajaRuta::keyPressEvent(QKeyEvent* evento) {
    if ((evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) && alEnter) {
        alEnter();
    }
    QLineEdit::keyPressEvent(evento);
}

}  // namespace tralmix
