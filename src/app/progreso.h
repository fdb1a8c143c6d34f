#pragma once

// How a busy run shows itself: the busy pointer at once, and a progress dialog with the
// file's name, the phase, the share done and "Cancelar" once the run has lasted a while.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include <QDialog>
#include <QString>
#include <QTimer>

#include "extract/mensajes.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tralmix {

// A one-shot delay on the interface thread. The program uses a Qt timer; the tests fire it by
// hand, so no test waits for real time to pass.
class Temporizador {
  public:
    virtual ~Temporizador() = default;
    // Calls alVencer once after demora, unless detener() comes first. Starting again replaces
    // the earlier call.
    virtual void iniciar(std::chrono::milliseconds demora, std::function<void()> alVencer) = 0;
    virtual void detener() = 0;
};

class TemporizadorQt : public Temporizador {
  public:
    TemporizadorQt();
    void iniciar(std::chrono::milliseconds demora, std::function<void()> alVencer) override;
    void detener() override;

  private:
    QTimer reloj_;
    std::function<void()> alVencer_;
};

// The progress dialog. A plain dialog rather than QProgressDialog: that one shows itself on its
// own clock and spins the event loop inside setValue, and here the run's own notices decide both.
class DialogoProgreso : public QDialog {
  public:
    explicit DialogoProgreso(QWidget* dueno);

    // The file, the phase and its share; once the stop was asked for, that it is stopping, until
    // the run ends.
    void mostrar(const Progreso& progreso);

    std::function<void()> alCancelar;

  protected:
    // "Cancelar", Escape and the close button ask the run to stop; the run's end closes the dialog.
    void reject() override;

  private:
    QLabel* etiqueta_;
    QProgressBar* barra_;
    QPushButton* cancelar_;
};

// The busy pointer and the delayed dialog of one run at a time, over the window dueno.
class IndicadorProgreso {
  public:
    IndicadorProgreso(QWidget& dueno, std::unique_ptr<Temporizador> temporizador,
                      std::function<void()> alCancelar);
    ~IndicadorProgreso();
    IndicadorProgreso(const IndicadorProgreso&) = delete;
    IndicadorProgreso& operator=(const IndicadorProgreso&) = delete;

    // The run began processing ruta: busy pointer now, the dialog after demora.
    void empezar(const QString& ruta, std::chrono::milliseconds demora);
    void avanzar(Fase fase, std::uint64_t hecho, std::uint64_t total);
    void cancelando();
    // The run ended or shows a box: pointer back, dialog gone.
    void terminar();

  private:
    void mostrar();

    QWidget& dueno_;
    std::unique_ptr<Temporizador> temporizador_;
    std::function<void()> alCancelar_;
    std::unique_ptr<DialogoProgreso> dialogo_;
    bool ocupado_ = false;
    Progreso progreso_;
};

}  // namespace tralmix
