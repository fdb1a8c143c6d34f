#pragma once

// principal: the program's only window. It shows the instructions, the path box and the "..."
// button that start a processing run, the maker's logo (a link to the web site) and the help icon.

#include <functional>
#include <memory>

#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include "app/degradado.h"
#include "app/diseno.h"
#include "app/escritorio.h"
#include "extract/estado.h"

class QPlainTextEdit;
class QPushButton;

namespace tralmix {

// The help file of a program in carpetaPrograma: beside the program, or in the shared data folder
// of an installed program; empty when neither exists.
QString buscarAyuda(const QString& carpetaPrograma);

// The hand pointer of the two images: 32 by 32, monochrome, hot spot at (7, 1).
QCursor cursorMano();

// An image that reports clicks and double clicks.
class Imagen : public QLabel {
  public:
    using QLabel::QLabel;
    std::function<void()> alPulsar;
    std::function<void()> alDobleClic;

  protected:
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;

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

class PuertoVentana;

class principal : public QWidget {
  public:
    explicit principal(Escritorio& escritorio, QWidget* padre = nullptr);
    ~principal() override;
    principal(const principal&) = delete;
    principal& operator=(const principal&) = delete;

    // The state the processing runs of this window share.
    const Estado& estado() const { return estado_; }

    // Places the window in the middle of the screen it is on.
    void centrar();

  private:
    void Form_Load();
    void cmd_file01_Click();
    void Image1_Click();
    void imgAyuda_DblClick();

    Escritorio& escritorio_;
    Estado estado_;
    std::unique_ptr<PuertoVentana> puerto_;
    bool enCurso_ = false;

    QPlainTextEdit* Text1_ = nullptr;
    CajaRuta* txtFile01_ = nullptr;
    QPushButton* cmd_file01_ = nullptr;
    Imagen* imgAyuda_ = nullptr;
    Imagen* Image1_ = nullptr;
    QLabel* lblInfo_ = nullptr;

    friend class PuertoVentana;
};

}  // namespace tralmix
