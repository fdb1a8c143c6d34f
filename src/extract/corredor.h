#pragma once

// Corredor: runs a window's processing runs on a worker thread, one at a time, so the window
// keeps painting and can be moved while a large file is read. Every call the run makes on the
// person (message boxes, the path box, the dialog, opening the list) is carried to the interface
// thread and waited for, so the person meets the same boxes in the same order as without the
// thread. No toolkit here: a window only tells the Corredor how to wake its interface thread.
// The command has no window and calls correr() on its own thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/puerto.h"

namespace tralmix {

// One run, given the state and the port it must use.
using Corrida = std::function<Desenlace(Estado&, Puerto&)>;
// The rest of a run for files chosen another way than the dialog (one or several).
using Procesar = std::function<Desenlace(Estado&, Puerto&, std::vector<std::u16string>)>;

// One run on this thread. A run that ends early (stopped, or a file failure) removes the working
// file it created; a finished or refused run keeps it. Whatever the run throws ends it as a file
// failure with an error box, never the program (concluir). A state that asks for the hold
// (AjustesAvance::retenerHastaParar) has the run wait at its first progress report until stopped.
Desenlace correr(Estado& estado, Puerto& puerto, const Corrida& corrida);

// Files handed over another way than the dialog (dropped on a window, named on its command line):
// the message that refuses them (that of the first one a run does not take), or an empty text
// when a run takes every one of them. No file at all is refused too.
std::u16string_view rechazoArchivos(const std::vector<std::u16string>& rutas);
// The box that refuses such a hand-over: the message alone for one file; for several, the message
// and the path of the file it is about, so that the person knows which one to leave out. Empty
// when a run takes them all.
std::u16string mensajeRechazo(const std::vector<std::u16string>& rutas);

// What the window learns of a run. Every call comes on the interface thread.
struct Seguimiento {
    // The run is processing the file ruta (from the dialog's answer on, or from the start for a
    // file handed over another way); it is busy until alDesocupar.
    std::function<void(const std::u16string& ruta)> alOcupar;
    // No longer busy: a message box is about to show, or the run ended.
    std::function<void()> alDesocupar;
    // The latest progress of a busy run, a few times a second at most.
    std::function<void(Fase fase, std::uint64_t hecho, std::uint64_t total)> alAvanzar;
    std::function<void(Desenlace desenlace)> alTerminar;
};

class Corredor {
  public:
    using Reloj = std::function<std::chrono::steady_clock::time_point()>;
    // Progress reaches the window at most this often (a new phase always does).
    static constexpr std::chrono::milliseconds kIntervaloAvance{200};

    // interfaz: the window's port, only ever called on the thread that creates the Corredor (the
    // interface thread). despertar: makes that thread call atender() soon, from its event loop
    // (posts an event or a message); it is called from the worker thread. reloj: for the tests.
    Corredor(Puerto& interfaz, std::function<void()> despertar, Reloj reloj = {});
    // Stops a run that is still going and waits for it.
    ~Corredor();
    Corredor(const Corredor&) = delete;
    Corredor& operator=(const Corredor&) = delete;

    Seguimiento seguimiento;

    // Starts corrida on a worker thread; false, and nothing started, while a run is going.
    // procesando: the file the run processes from its start (it shows no dialog).
    bool iniciar(Estado& estado, Corrida corrida,
                 std::optional<std::u16string> procesando = std::nullopt);
    // Files handed over: refused with a box (mensajeRechazo), or run with procesar, all of them
    // in one run. False when no run started.
    bool entregar(Estado& estado, const std::vector<std::u16string>& rutas, Procesar procesar);

    bool enCurso() const { return enCurso_; }
    // Asks the running run to stop at its next cheap point.
    void cancelar() { cancelar_ = true; }
    // Returns once no run is going; meanwhile the run's calls to the window are carried out.
    void esperar();
    // What despertar asks for: carries out the run's waiting calls, hands on its latest progress
    // and its end.
    void atender();

  private:
    class PuertoHilo;
    struct Tarea {
        std::function<void()> hacer;
        std::exception_ptr error;
        bool hecha = false;
    };
    struct Avance {
        Fase fase = Fase::Limpieza;
        std::uint64_t hecho = 0;
        std::uint64_t total = 0;
    };

    // Runs f on the interface thread and waits for it; an exception comes back to the caller.
    template <typename F>
    auto enInterfaz(F&& f) -> decltype(f());
    // Wakes the interface thread unless it is already woken; called with the lock held.
    void avisar(std::unique_lock<std::mutex>& cerrojo);

    void ocupar(const std::u16string& ruta);
    void desocupar();
    void avanzar(Fase fase, std::uint64_t hecho, std::uint64_t total);
    void terminar(Desenlace desenlace);

    Puerto& interfaz_;
    std::function<void()> despertar_;
    Reloj reloj_;
    std::unique_ptr<PuertoHilo> puerto_;
    std::thread::id hiloInterfaz_;
    std::thread hilo_;
    bool enCurso_ = false;  // interface thread only, like ocupado_
    bool ocupado_ = false;
    std::atomic<bool> cancelar_{false};

    // What the worker hands the interface thread, under mutex_.
    std::mutex mutex_;
    std::condition_variable cambio_;
    std::deque<Tarea*> tareas_;
    std::optional<Avance> avance_;  // the latest report not yet handed on
    std::optional<Fase> faseAvisada_;
    std::chrono::steady_clock::time_point ultimoAviso_;
    std::optional<Desenlace> fin_;
    bool despierto_ = false;  // a wake-up is on its way
};

}  // namespace tralmix
