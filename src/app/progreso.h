#pragma once

// How a busy run shows itself: the busy pointer at once, and a progress dialog with the
// file's name, the phase, the share done and "Cancelar" once the run has lasted a while.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

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
    DialogoProgreso(const QString& archivo, QWidget* dueno);

    void mostrarAvance(Fase fase, std::uint64_t hecho, std::uint64_t total);
    // The stop was asked for: the dialog says so and stays until the run ends.
    void mostrarCancelando();

    std::function<void()> alCancelar;

  protected:
    // "Cancelar", Escape and the close button ask the run to stop; the run's end closes the dialog.
    void reject() override;

  private:
    QLabel* etiqueta_;
    QProgressBar* barra_;
    QPushButton* cancelar_;
    QString archivo_;
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
    QString archivo_;
    bool ocupado_ = false;
    bool cancelando_ = false;
    bool hayAvance_ = false;
    Fase fase_ = Fase::Limpieza;
    std::uint64_t hecho_ = 0;
    std::uint64_t total_ = 0;
};

}  // namespace tralmix
