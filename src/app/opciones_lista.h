#pragma once

// "Opciones de la lista…": the list's group size and separator, the files of addresses that must
// not receive, the clean-up mode and whether every run shows its summary, kept in the user's
// settings so that every start of the window makes lists the same way.

#include <functional>
#include <string>
#include <vector>

#include <QDialog>

#include "ventana/opciones.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace tralmix {

// What the user's settings (QSettings) hold; a missing or no longer valid value gives its
// default. The exclusion files are kept as listed, whether they still exist or not.
OpcionesVentana leerOpcionesGuardadas();
void guardarOpciones(const OpcionesVentana& opciones);

class DialogoOpciones : public QDialog {
  public:
    // elegir: the Open dialog of "Agregar…", over the given window; the chosen paths, none when
    // cancelled.
    using Elegir = std::function<std::vector<std::u16string>(QWidget* dueno)>;

    DialogoOpciones(const OpcionesVentana& actuales, Elegir elegir, QWidget* padre);
    // What the user accepted (valid whenever exec() answered Accepted).
    OpcionesVentana opciones() const;

  private:
    void revisar();
    void agregar();
    void quitar();

    Elegir elegir_;
    QSpinBox* porGrupo_ = nullptr;
    QLineEdit* separador_ = nullptr;
    QLabel* aviso_ = nullptr;
    QListWidget* exclusiones_ = nullptr;
    QPushButton* quitar_ = nullptr;
    QCheckBox* depurar_ = nullptr;
    QCheckBox* siempreResumen_ = nullptr;
    QPushButton* aceptar_ = nullptr;
};

}  // namespace tralmix
