#pragma once

// principal: the program's only window. It shows the instructions, the path box and the "..."
// button that start a processing run, the maker's logo and the help icon (both open the help, and
// so does F1). After a run that made a report, a panel under them shows its summary until the next
// run starts.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include "app/controles.h"
#include "app/degradado.h"
#include "app/escritorio.h"
#include "app/progreso.h"
#include "extract/corredor.h"
#include "extract/estado.h"
#include "ventana/diseno.h"

class QPlainTextEdit;

namespace tralmix {

// The help file of a program in carpetaPrograma: beside the program, or in the shared data folder
// of an installed program; empty when neither exists.
QString buscarAyuda(const QString& carpetaPrograma);
// The first page of the same help as HTML, looked for in the same two places; empty when missing.
QString buscarAyudaHtml(const QString& carpetaPrograma);

// Files handed to the window (dropped on it, or named on the command line) as paths; an address
// that names no local file becomes a path no run takes.
std::vector<std::u16string> rutasDe(const QList<QUrl>& archivos);

// The command line's file arguments as files: a path (relative to the current folder) or a
// file: address.
QList<QUrl> archivosDeArgumentos(const QStringList& argumentos);

// The engine's two ways into a run. The tests put scripted or slow runs in their place.
struct Motor {
    // The "..." button: the typed-path check, the Open dialog, then the processing.
    Corrida elegirYProcesar;
    // Files chosen another way (one or several): everything after the dialog's answer.
    Procesar procesar;

    static Motor real();
};

class PuertoVentana;

class principal : public QWidget {
  public:
    explicit principal(Escritorio& escritorio, Motor motor = Motor::real(),
                       QWidget* padre = nullptr);
    ~principal() override;
    principal(const principal&) = delete;
    principal& operator=(const principal&) = delete;

    // The state the processing runs of this window share.
    const Estado& estado() const { return estado_; }
    // How its runs show their progress (main takes it from the environment).
    void ajustarAvance(const AjustesAvance& ajustes) { estado_.avance = ajustes; }

    // Places the window in the middle of the screen it is on.
    void centrar();

    // Files from the command line, run (or refused) once the window shows.
    void procesarAlMostrar(QList<QUrl> archivos);
    // Files handed over as if chosen in the Open dialog, all in one run; if a run would not take
    // one of them, none runs and a box says which.
    void recibirArchivos(const QList<QUrl>& archivos);

    bool enCurso() const { return corredor_->enCurso(); }
    // Returns when no run is going.
    void esperarEjecucion() { corredor_->esperar(); }

  protected:
    void closeEvent(QCloseEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void dragEnterEvent(QDragEnterEvent* evento) override;
    void dropEvent(QDropEvent* evento) override;
    // A right-click, the context-menu key or Shift+F10: the menu with the list's options.
    void contextMenuEvent(QContextMenuEvent* evento) override;

  private:
    void menuContextual(const QPoint& donde);
    // "Opciones de la lista…": the dialog, then the state and the settings, between runs only.
    void opcionesLista();
    void Form_Load();
    void cmd_file01_Click();
    void Image1_Click();
    void imgAyuda_DblClick();
    // Before a run: today's date for its list, the last report's panel gone. After its start: the
    // path box kept as it is.
    void antesDeCorrer();
    // The report panel under the controls, the window grown to hold it; and back.
    void mostrarResumen(const QString& texto);
    void ocultarResumen();
    void alEmpezar(bool empezo);
    void cancelar();
    // The desktop could not open destino (the help, the web site): the person is told.
    void abrir(const QUrl& destino);

    Escritorio& escritorio_;
    Motor motor_;
    Estado estado_;
    std::unique_ptr<PuertoVentana> puerto_;
    std::unique_ptr<IndicadorProgreso> indicador_;
    std::unique_ptr<Corredor> corredor_;
    QList<QUrl> alMostrar_;

    QPlainTextEdit* Text1_ = nullptr;
    CajaRuta* txtFile01_ = nullptr;
    BotonArchivo* cmd_file01_ = nullptr;
    Imagen* imgAyuda_ = nullptr;
    Imagen* Image1_ = nullptr;
    QLabel* lblInfo_ = nullptr;
    QWidget* panelResumen_ = nullptr;
    QPlainTextEdit* txtResumen_ = nullptr;

    friend class PuertoVentana;
};

}  // namespace tralmix
