#pragma once

// Ejecutor: runs the window's processing runs on a worker thread, one at a time, so the window
// keeps painting and can be moved while a large file is read. Every call the run makes on the
// window (message boxes, the path box, the dialog, opening the list) is carried to the interface
// thread and waited for, so the user meets the same boxes in the same order as before.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <QObject>

#include "extract/desenlace.h"
#include "extract/puerto.h"

namespace tralmix {

// One run, given the port it must use.
using Corrida = std::function<Desenlace(Puerto&)>;

// What the window learns of a run. Every call comes on the interface thread.
struct Seguimiento {
    // The run is processing the file ruta (from the dialog's answer on, or from the start for a
    // file handed over another way); it is busy until alDesocupar.
    std::function<void(const std::u16string& ruta)> alOcupar;
    // No longer busy: a message box is about to show, or the run ended.
    std::function<void()> alDesocupar;
    // The latest progress of a busy run; reports that come faster than the window takes them
    // are merged.
    std::function<void(Fase fase, std::uint64_t hecho, std::uint64_t total)> alAvanzar;
    std::function<void(Desenlace desenlace)> alTerminar;
};

class Ejecutor {
  public:
    // interfaz: the window's port. It is only ever called on the thread that creates the
    // Ejecutor, which must run an event loop.
    explicit Ejecutor(Puerto& interfaz);
    // Stops a run that is still going and waits for it.
    ~Ejecutor();
    Ejecutor(const Ejecutor&) = delete;
    Ejecutor& operator=(const Ejecutor&) = delete;

    Seguimiento seguimiento;

    // Starts corrida on a worker thread; false, and nothing started, while a run is going.
    // procesando: the file the run processes from its start (it shows no dialog).
    bool iniciar(Corrida corrida, std::optional<std::u16string> procesando = std::nullopt);
    bool enCurso() const { return enCurso_; }

    // Asks the running run to stop at its next cheap point.
    void cancelar() { cancelar_ = true; }

    // Returns once no run is going; meanwhile the run's calls to the window are carried out.
    void esperar();

  private:
    class PuertoHilo;
    struct Avance {
        Fase fase = Fase::Limpieza;
        std::uint64_t hecho = 0;
        std::uint64_t total = 0;
    };

    // Runs f on the interface thread and waits for it; an exception comes back to the caller.
    template <typename F>
    auto enInterfaz(F&& f) -> decltype(f());

    void ocupar(const std::u16string& ruta);
    void desocupar();
    void avanzar(Fase fase, std::uint64_t hecho, std::uint64_t total);
    void entregarAvance();
    void terminar(Desenlace desenlace);

    Puerto& interfaz_;
    QObject receptor_;  // of the interface thread: carried calls and notices run in its name
    std::unique_ptr<PuertoHilo> puerto_;
    std::thread hilo_;
    bool enCurso_ = false;  // interface thread only, like ocupado_
    bool ocupado_ = false;
    std::atomic<bool> cancelar_{false};
    // The latest report, waiting for the one notice that may be on its way.
    std::mutex mutexAvance_;
    Avance avance_;
    std::atomic<bool> avisoPendiente_{false};
};

}  // namespace tralmix
