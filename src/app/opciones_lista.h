#pragma once

// "Opciones de la lista…": the list's group size and separator, kept in the user's settings so
// that every start of the window lays lists out the same way.

#include <cstddef>
#include <string>

#include <QDialog>

#include "extract/disposicion.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tralmix {

// What the user's settings (QSettings) hold; a missing or no longer valid value gives its
// default.
OpcionesLista leerOpcionesGuardadas();
void guardarOpciones(const OpcionesLista& opciones);

class DialogoOpciones : public QDialog {
  public:
    DialogoOpciones(const OpcionesLista& actuales, QWidget* padre);
    // What the user accepted (valid whenever exec() answered Accepted).
    OpcionesLista opciones() const;

  private:
    void revisar();

    QSpinBox* porGrupo_ = nullptr;
    QLineEdit* separador_ = nullptr;
    QLabel* aviso_ = nullptr;
    QPushButton* aceptar_ = nullptr;
};

}  // namespace tralmix
