#pragma once

// The window's own controls: the images that report clicks, the path box and the "..." button,
// each with the keys a person expects of it.

#include <functional>

#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tralmix {

// The hand pointer of the two images: 32 by 32, monochrome, hot spot at (7, 1).
QCursor cursorMano();

// An image that reports clicks and double clicks; one that takes the focus (the help icon) is
// pressed from the keyboard by Enter or Space too, and shows its focus.
class Imagen : public QLabel {
  public:
    using QLabel::QLabel;
    std::function<void()> alPulsar;
    std::function<void()> alDobleClic;
    std::function<void()> alTeclear;

  protected:
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;

  private:
    bool presionada_ = false;
};

// The path box: Enter presses the button first, then reaches the box like every other key.
class CajaRuta : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;
    std::function<void()> alEnter;

  protected:
    void keyPressEvent(QKeyEvent* evento) override;
};

// The "..." button: Enter presses it as Space does (in a window that is no dialog a push button
// has no default role, so Enter would do nothing), and its focus is plain to see.
class BotonArchivo : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
};

}  // namespace tralmix
