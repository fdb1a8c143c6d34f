#include "app/ejecutor.h"

#include <exception>
#include <system_error>
#include <type_traits>
#include <utility>

#include <QCoreApplication>
#include <QThread>

namespace tralmix {

// The port the worker thread hands to the run: progress and the stop request stay on that
// thread, everything else goes to the window's own port on the interface thread.
class Ejecutor::PuertoHilo : public Puerto {
  public:
    explicit PuertoHilo(Ejecutor& e) : e_(e) {}

    std::u16string textoRuta() const override {
        return e_.enInterfaz([&] { return e_.interfaz_.textoRuta(); });
    }
    void ponerTextoRuta(const std::u16string& texto) override {
        e_.enInterfaz([&] { e_.interfaz_.ponerTextoRuta(texto); });
    }
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override {
        e_.enInterfaz([&] {
            // A box over the progress dialog and the busy pointer would look like a hang.
            e_.desocupar();
            e_.interfaz_.mensaje(texto, estilo, titulo);
        });
    }
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) override {
        return e_.enInterfaz([&] {
            RespuestaDialogo respuesta = e_.interfaz_.mostrarDialogo(ajustes);
            if (respuesta.elegido) {
                e_.ocupar(respuesta.ruta);
            }
            return respuesta;
        });
    }
    std::u16string carpetaPrograma() const override {
        return e_.enInterfaz([&] { return e_.interfaz_.carpetaPrograma(); });
    }
    std::uintptr_t ventana() const override {
        return e_.enInterfaz([&] { return e_.interfaz_.ventana(); });
    }
    void abrirArchivo(const std::u16string& ruta) override {
        e_.enInterfaz([&] { e_.interfaz_.abrirArchivo(ruta); });
    }
    Fecha hoy() const override {
        return e_.enInterfaz([&] { return e_.interfaz_.hoy(); });
    }
    std::u16string carpetaResultado() const override {
        return e_.enInterfaz([&] { return e_.interfaz_.carpetaResultado(); });
    }
    std::u16string carpetaTemporal() const override {
        return e_.enInterfaz([&] { return e_.interfaz_.carpetaTemporal(); });
    }
    void progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) override {
        e_.avanzar(fase, hecho, total);
    }
    bool cancelado() const override { return e_.cancelar_; }

  private:
    Ejecutor& e_;
};

Ejecutor::Ejecutor(Puerto& interfaz)
    : interfaz_(interfaz), puerto_(std::make_unique<PuertoHilo>(*this)) {}

Ejecutor::~Ejecutor() {
    cancelar();
    esperar();
}

template <typename F>
auto Ejecutor::enInterfaz(F&& f) -> decltype(f()) {
    using R = decltype(f());
    if (QThread::currentThread() == receptor_.thread()) {
        return f();
    }
    std::exception_ptr error;
    if constexpr (std::is_void_v<R>) {
        QMetaObject::invokeMethod(
            &receptor_,
            [&] {
                try {
                    f();
                } catch (...) {
                    error = std::current_exception();
                }
            },
            Qt::BlockingQueuedConnection);
        if (error) {
            std::rethrow_exception(error);
        }
    } else {
        std::optional<R> resultado;
        QMetaObject::invokeMethod(
            &receptor_,
            [&] {
                try {
                    resultado.emplace(f());
                } catch (...) {
                    error = std::current_exception();
                }
            },
            Qt::BlockingQueuedConnection);
        if (error) {
            std::rethrow_exception(error);
        }
        return std::move(*resultado);
    }
}

bool Ejecutor::iniciar(Corrida corrida, std::optional<std::u16string> procesando) {
    if (enCurso_) {
        return false;
    }
    cancelar_ = false;
    enCurso_ = true;
    if (procesando) {
        ocupar(*procesando);
    }
    try {
        hilo_ = std::thread([this, corrida] {
            const Desenlace desenlace = corrida(*puerto_);
            QMetaObject::invokeMethod(
                &receptor_, [this, desenlace] { terminar(desenlace); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the run goes on this thread, as it always did.
        terminar(corrida(*puerto_));
    }
    return true;
}

void Ejecutor::esperar() {
    while (enCurso_) {
        // The run's calls and its end arrive as posted events; the user's input waits.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    }
}

void Ejecutor::ocupar(const std::u16string& ruta) {
    if (ocupado_) {
        return;
    }
    ocupado_ = true;
    if (seguimiento.alOcupar) {
        seguimiento.alOcupar(ruta);
    }
}

void Ejecutor::desocupar() {
    if (!ocupado_) {
        return;
    }
    ocupado_ = false;
    if (seguimiento.alDesocupar) {
        seguimiento.alDesocupar();
    }
}

void Ejecutor::avanzar(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    {
        const std::lock_guard<std::mutex> cerrojo(mutexAvance_);
        avance_ = {fase, hecho, total};
    }
    // One notice at a time: a run that reports faster than the window paints only moves the
    // values the notice will read.
    if (!avisoPendiente_.exchange(true)) {
        QMetaObject::invokeMethod(
            &receptor_, [this] { entregarAvance(); }, Qt::QueuedConnection);
    }
}

void Ejecutor::entregarAvance() {
    avisoPendiente_ = false;
    Avance avance;
    {
        const std::lock_guard<std::mutex> cerrojo(mutexAvance_);
        avance = avance_;
    }
    if (ocupado_ && seguimiento.alAvanzar) {
        seguimiento.alAvanzar(avance.fase, avance.hecho, avance.total);
    }
}

void Ejecutor::terminar(Desenlace desenlace) {
    if (hilo_.joinable()) {
        hilo_.join();
    }
    enCurso_ = false;
    desocupar();
    if (seguimiento.alTerminar) {
        seguimiento.alTerminar(desenlace);
    }
}

}  // namespace tralmix
