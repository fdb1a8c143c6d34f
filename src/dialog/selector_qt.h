#pragma once

// The Qt side of CFileDialog: Qt's file dialog behind Show, and a Qt message box for its errors.

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

#include "dialog/cfiledialog.h"

class QWidget;

namespace tralmix {

// How Qt's dialog is set up for a record, worked out without showing anything.
struct PlanSelector {
    bool abrir = true;
    QString titulo;
    std::optional<QString> carpeta;  // none: Qt's own choice of folder
    QString nombrePropuesto;
    QStringList filtros;     // Qt name filters, one per description/pattern pair
    int filtroElegido = -1;  // index into filtros, -1 when there are none
    QString extension;       // appended to a typed name without one
    bool debeExistir = false;
    bool ofrecerCrear = false;
    bool confirmarSobrescribir = false;
    bool varios = false;  // several existing files may be chosen at once (Open only)
    std::uintptr_t dueno = 0;
};

// A pair as a Qt name filter: the description, then its ";"-separated patterns in parentheses.
QString filtroQt(const ParFiltro& par);

PlanSelector planSelector(const RegistroLlamada& registro, bool abrir);

// Puts the chosen path and its name into the record's buffers; a path that does not fit the
// buffer raises ErrorDialogo rather than being cut.
void escribirRespuesta(RegistroLlamada& registro, const QString& ruta);
// The answer of a dialog where several files may be chosen: one path as above; several as the
// folder they share and each one's name under it, NUL-separated and ended by two NULs, in the
// record's file buffer (its title buffer left empty). An answer that does not fit raises
// ErrorDialogo.
void escribirRespuestas(RegistroLlamada& registro, const QStringList& rutas);

// Qt's file dialog, modal to the owner window of the record.
class SelectorQt : public SelectorArchivos {
  public:
    bool mostrar(RegistroLlamada& registro, bool abrir) override;
};

// The error box: modal, OK only, no icon, owned by the active window.
class AvisoQt : public AvisoError {
  public:
    void mostrar(std::u16string_view texto, std::u16string_view titulo) override;
};

// The window of a handle that CFileDialog carries, or nullptr.
QWidget* ventanaDeHandle(std::uintptr_t handle);

}  // namespace tralmix
