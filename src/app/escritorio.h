#pragma once

// What the window needs from the desktop around it. The program uses the real desktop; the tests
// replace single services (the file chooser, the message boxes, the opener, the folders).

#include <memory>

#include <QDate>
#include <QMessageBox>
#include <QString>
#include <QUrl>

#include "app/progreso.h"
#include "dialog/cfiledialog.h"
#include "dialog/selector_qt.h"
#include "extract/disposicion.h"
#include "extract/estado.h"
#include "extract/puerto.h"
#include "ventana/opciones.h"

class QWidget;

namespace tralmix {

class Escritorio {
  public:
    virtual ~Escritorio() = default;

    // The chooser behind CFileDialog and the sink of its error boxes.
    virtual SelectorArchivos& selector() = 0;
    virtual AvisoError& avisos() = 0;

    // A modal message box with an OK button, owned by dueno; CR LF separates lines.
    virtual void mensaje(QWidget* dueno, const QString& texto, Estilo estilo,
                         const QString& titulo) = 0;

    // Hands a file or an address to the desktop's default handler; why it failed, empty when it
    // did not.
    virtual QString abrir(const QUrl& destino) = 0;

    virtual QString carpetaPrograma() const = 0;
    virtual QString carpetaResultado() const = 0;
    virtual QString carpetaTemporal() const = 0;
    virtual QDate hoy() const = 0;

    // Whether some program of the desktop is registered to open this file.
    virtual bool hayVisor(const QString& archivo) const = 0;

    // The delay before a run's progress dialog shows; by default a real timer.
    virtual std::unique_ptr<Temporizador> temporizador();

    // The list's options kept between starts; by default only for this desktop's life.
    virtual OpcionesVentana opcionesLista() const { return opciones_; }
    virtual void guardarOpcionesLista(const OpcionesVentana& opciones) { opciones_ = opciones; }
    // The "Opciones de la lista" dialog over dueno; true when the user accepted new values. Its
    // "Agregar…" shows the Open dialog through selector(), starting in carpetaResultado().
    virtual bool pedirOpcionesLista(QWidget* dueno, OpcionesVentana& opciones);

  private:
    OpcionesVentana opciones_;
};

// The real desktop: Qt's file dialog and message boxes; the opener, the folders and the date of
// the system around the program (util/entorno.h), the same as for the other front ends.
class EscritorioQt : public Escritorio {
  public:
    SelectorArchivos& selector() override { return selector_; }
    AvisoError& avisos() override { return avisos_; }
    void mensaje(QWidget* dueno, const QString& texto, Estilo estilo,
                 const QString& titulo) override;
    QString abrir(const QUrl& destino) override;
    QString carpetaPrograma() const override;
    QString carpetaResultado() const override;
    QString carpetaTemporal() const override;
    QDate hoy() const override;
    bool hayVisor(const QString& archivo) const override;
    // In the user's settings (QSettings).
    OpcionesVentana opcionesLista() const override;
    void guardarOpcionesLista(const OpcionesVentana& opciones) override;

  private:
    SelectorQt selector_;
    AvisoQt avisos_;
};

// The icon of a message box style: 16 critical, 48 warning, 64 information, anything else none.
QMessageBox::Icon iconoDeEstilo(Estilo estilo);

// The message text as the box shows it: CR LF, and a CR or LF alone, become line breaks.
QString textoCaja(const QString& texto);

}  // namespace tralmix
