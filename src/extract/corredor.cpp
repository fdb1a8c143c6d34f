#include "extract/corredor.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

#include "extract/fin.h"
#include "extract/proceso.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix {
namespace {

// For tests (AjustesAvance::retenerHastaParar): the run's own port, but its first progress report
// waits until the run is stopped. The command's stop is a flag a signal sets, which can only be
// asked, hence the short naps.
class PuertoRetenido final : public Puerto {
  public:
    explicit PuertoRetenido(Puerto& puerto) : p_(puerto) {}

    std::u16string textoRuta() const override { return p_.textoRuta(); }
    void ponerTextoRuta(const std::u16string& texto) override { p_.ponerTextoRuta(texto); }
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override {
        p_.mensaje(texto, estilo, titulo);
    }
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) override {
        return p_.mostrarDialogo(ajustes);
    }
    std::uintptr_t ventana() const override { return p_.ventana(); }
    std::u16string abrirArchivo(const std::u16string& ruta) override {
        return p_.abrirArchivo(ruta);
    }
    void progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) override {
        p_.progreso(fase, hecho, total);
        while (!p_.cancelado()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    bool cancelado() const override { return p_.cancelado(); }

  private:
    Puerto& p_;
};

}  // namespace

Desenlace correr(Estado& estado, Puerto& puerto, const Corrida& corrida) {
    estado.archivoTrabajo.clear();
    PuertoRetenido retenido(puerto);
    const Desenlace desenlace = concluir(estado, puerto, [&] {
        return corrida(estado, estado.avance.retenerHastaParar ? retenido : puerto);
    });
    // A stopped or failed run leaves nothing a person would look for: a copy as large as the
    // input is no use to anyone.
    if ((desenlace == Desenlace::Interrumpido || desenlace == Desenlace::FalloArchivo) &&
        !estado.archivoTrabajo.empty()) {
        std::error_code error;
        std::filesystem::remove(archivos::aRuta(estado.archivoTrabajo), error);
        estado.archivoTrabajo.clear();
    }
    return desenlace;
}

namespace {

// Why a run does not take this one file; empty when it does.
std::u16string_view rechazoArchivo(const std::u16string& ruta) {
    if (!archivos::rutaUsable(ruta)) {
        return kNoValido;
    }
    std::error_code error;
    if (!std::filesystem::exists(archivos::aRuta(ruta), error)) {
        return kNoExiste;
    }
    if (!archivos::esArchivo(ruta) || !archivoAdmitido(ruta)) {
        return kNoValido;
    }
    return {};
}

}  // namespace

std::u16string_view rechazoArchivos(const std::vector<std::u16string>& rutas) {
    if (rutas.empty()) {
        return kNoValido;
    }
    for (const std::u16string& ruta : rutas) {
        if (const std::u16string_view rechazo = rechazoArchivo(ruta); !rechazo.empty()) {
            return rechazo;
        }
    }
    return {};
}

std::u16string mensajeRechazo(const std::vector<std::u16string>& rutas) {
    if (rutas.size() < 2) {
        return std::u16string(rechazoArchivos(rutas));
    }
    for (const std::u16string& ruta : rutas) {
        if (const std::u16string_view rechazo = rechazoArchivo(ruta); !rechazo.empty()) {
            // An address that names no local file has no path to show.
            return ruta.empty() ? std::u16string(rechazo)
                                : std::u16string(rechazo) + u"\r\n" + ruta;
        }
    }
    return {};
}

// The port the worker thread hands to the run: progress and the stop request stay on that
// thread, everything else goes to the window's own port on the interface thread.
class Corredor::PuertoHilo final : public Puerto {
  public:
    explicit PuertoHilo(Corredor& c) : c_(c) {}

    std::u16string textoRuta() const override {
        return c_.enInterfaz([&] { return c_.interfaz_.textoRuta(); });
    }
    void ponerTextoRuta(const std::u16string& texto) override {
        c_.enInterfaz([&] { c_.interfaz_.ponerTextoRuta(texto); });
    }
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override {
        c_.enInterfaz([&] {
            // A box over the progress dialog and the busy pointer would look like a hang.
            c_.desocupar();
            c_.interfaz_.mensaje(texto, estilo, titulo);
        });
    }
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) override {
        return c_.enInterfaz([&] {
            RespuestaDialogo respuesta = c_.interfaz_.mostrarDialogo(ajustes);
            if (respuesta.elegido) {
                c_.ocupar(respuesta.ruta);
            }
            return respuesta;
        });
    }
    std::uintptr_t ventana() const override {
        return c_.enInterfaz([&] { return c_.interfaz_.ventana(); });
    }
    std::u16string abrirArchivo(const std::u16string& ruta) override {
        return c_.enInterfaz([&] { return c_.interfaz_.abrirArchivo(ruta); });
    }
    void progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) override {
        c_.avanzar(fase, hecho, total);
    }
    bool cancelado() const override { return c_.cancelar_; }
    void informe(const Informe& informe) override {
        c_.enInterfaz([&] { c_.interfaz_.informe(informe); });
    }

  private:
    Corredor& c_;
};

Corredor::Corredor(Puerto& interfaz, std::function<void()> despertar, Reloj reloj)
    : interfaz_(interfaz),
      despertar_(std::move(despertar)),
      reloj_(reloj ? std::move(reloj) : Reloj([] { return std::chrono::steady_clock::now(); })),
      puerto_(std::make_unique<PuertoHilo>(*this)),
      hiloInterfaz_(std::this_thread::get_id()) {}

Corredor::~Corredor() {
    cancelar();
    esperar();
}

void Corredor::avisar(std::unique_lock<std::mutex>& cerrojo) {
    cambio_.notify_all();  // an interface thread inside esperar() needs no event
    if (despierto_) {
        return;
    }
    despierto_ = true;
    cerrojo.unlock();
    despertar_();
    cerrojo.lock();
}

template <typename F>
auto Corredor::enInterfaz(F&& f) -> decltype(f()) {
    using R = decltype(f());
    if (std::this_thread::get_id() == hiloInterfaz_) {
        return f();  // no worker thread could be had: the run goes on the interface thread
    }
    std::optional<std::conditional_t<std::is_void_v<R>, bool, R>> resultado;
    Tarea tarea;
    tarea.hacer = [&] {
        if constexpr (std::is_void_v<R>) {
            f();
            resultado.emplace(true);
        } else {
            resultado.emplace(f());
        }
    };
    {
        std::unique_lock<std::mutex> cerrojo(mutex_);
        tareas_.push_back(&tarea);
        avisar(cerrojo);
        cambio_.wait(cerrojo, [&] { return tarea.hecha; });
    }
    if (tarea.error) {
        std::rethrow_exception(tarea.error);
    }
    if constexpr (!std::is_void_v<R>) {
        return std::move(*resultado);
    }
}

bool Corredor::iniciar(Estado& estado, Corrida corrida, std::optional<std::u16string> procesando) {
    if (enCurso_) {
        return false;
    }
    cancelar_ = false;
    enCurso_ = true;
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        fin_.reset();
        avance_.reset();
        faseAvisada_.reset();
    }
    if (procesando) {
        ocupar(*procesando);
    }
    auto trabajo = [this, &estado, corrida = std::move(corrida)] {
        const Desenlace desenlace = correr(estado, *puerto_, corrida);
        std::unique_lock<std::mutex> cerrojo(mutex_);
        fin_ = desenlace;
        avisar(cerrojo);
    };
    try {
        hilo_ = std::thread(trabajo);
    } catch (const std::system_error&) {
        // No thread to be had: the run goes on this thread, as it always did.
        trabajo();
    }
    return true;
}

bool Corredor::entregar(Estado& estado, const std::vector<std::u16string>& rutas,
                        Procesar procesar) {
    if (enCurso_) {
        return false;
    }
    if (const std::u16string rechazo = mensajeRechazo(rutas); !rechazo.empty()) {
        interfaz_.mensaje(rechazo, Estilo::Exclamacion, kTitulo);
        return false;
    }
    const std::u16string primera = rutas.front();
    return iniciar(
        estado,
        [rutas, procesar = std::move(procesar)](Estado& e, Puerto& p) {
            return procesar(e, p, rutas);
        },
        primera);
}

void Corredor::esperar() {
    while (enCurso_) {
        {
            std::unique_lock<std::mutex> cerrojo(mutex_);
            cambio_.wait(cerrojo, [&] { return !tareas_.empty() || fin_.has_value(); });
        }
        atender();
    }
}

void Corredor::atender() {
    std::unique_lock<std::mutex> cerrojo(mutex_);
    despierto_ = false;
    while (!tareas_.empty()) {
        Tarea* tarea = tareas_.front();
        tareas_.pop_front();
        cerrojo.unlock();
        try {
            tarea->hacer();
        } catch (...) {
            tarea->error = std::current_exception();
        }
        cerrojo.lock();
        tarea->hecha = true;
        cambio_.notify_all();
    }
    if (const std::optional<Avance> avance = std::exchange(avance_, std::nullopt)) {
        cerrojo.unlock();
        if (ocupado_ && seguimiento.alAvanzar) {
            seguimiento.alAvanzar(avance->fase, avance->hecho, avance->total);
        }
        cerrojo.lock();
    }
    if (fin_ && enCurso_) {
        const Desenlace desenlace = *fin_;
        cerrojo.unlock();
        terminar(desenlace);
    }
}

void Corredor::ocupar(const std::u16string& ruta) {
    if (ocupado_) {
        return;
    }
    ocupado_ = true;
    if (seguimiento.alOcupar) {
        seguimiento.alOcupar(ruta);
    }
}

void Corredor::desocupar() {
    if (!ocupado_) {
        return;
    }
    ocupado_ = false;
    if (seguimiento.alDesocupar) {
        seguimiento.alDesocupar();
    }
}

void Corredor::avanzar(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    const auto ahora = reloj_();
    std::unique_lock<std::mutex> cerrojo(mutex_);
    avance_ = Avance{fase, hecho, total};
    // A run reports at every piece it reads; the window needs a few reports a second, and every
    // new phase.
    if (faseAvisada_ == fase && ahora - ultimoAviso_ < kIntervaloAvance) {
        return;
    }
    faseAvisada_ = fase;
    ultimoAviso_ = ahora;
    avisar(cerrojo);
}

void Corredor::terminar(Desenlace desenlace) {
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
