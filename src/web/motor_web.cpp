// The engine's entry for the page: one run on a file the page hands over, inside a Web Worker.
// The worker (trabajador.js) mounts the file read-only at /entrada, reads the list from /salida
// afterwards and passes on the messages and progress this port reports.

#include <emscripten.h>

#include <string>

#include "extract/corredor.h"
#include "extract/disposicion.h"
#include "extract/proceso.h"
#include "extract/resultado.h"
#include "util/entorno.h"
#include "util/texto.h"

namespace tralmix {
namespace {

// The page's side of the worker: what the run shows, how far it is.
EM_JS(void, jsMensaje, (const char* titulo, const char* texto, int estilo),
      { Module["alMensaje"](UTF8ToString(titulo), UTF8ToString(texto), estilo); });
EM_JS(void, jsOpcion, (const char* motivo), { Module["alOpcion"](UTF8ToString(motivo)); });
EM_JS(void, jsAvance,
      (const char* fase, double hecho, double total, const char* estado, const char* porcentaje), {
          Module["alAvanzar"](
              UTF8ToString(fase), hecho, total,
              {estado : UTF8ToString(estado), porcentaje : UTF8ToString(porcentaje)});
      });
EM_JS(void, jsNombreLista, (const char* nombre),
      { Module["alNombreLista"](UTF8ToString(nombre)); });

// The page stops a run by ending its worker, so nothing here asks whether to stop: a stopped run
// leaves no list behind, as the engine's own interruption would.
class PuertoWeb final : public Puerto {
  public:
    explicit PuertoWeb(std::u16string nombre) : nombre_(std::move(nombre)) {}

    std::u16string textoRuta() const override { return caja_; }
    void ponerTextoRuta(const std::u16string& texto) override { caja_ = texto; }
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override {
        // Line breaks as a page writes them; the list is named without the folder it has only
        // in the worker's memory.
        std::u16string lineas;
        for (std::size_t i = 0; i < texto.size(); ++i) {
            if (texto[i] == u'\r' && i + 1 < texto.size() && texto[i + 1] == u'\n') {
                continue;
            }
            if ((i == 0 || texto[i - 1] == u'\n') && texto.substr(i).starts_with(kCarpetaLista)) {
                i += kCarpetaLista.size() - 1;
                continue;
            }
            lineas += texto[i];
        }
        jsMensaje(texto::aUtf8(titulo).c_str(), texto::aUtf8(lineas).c_str(),
                  static_cast<int>(estilo));
    }
    RespuestaDialogo mostrarDialogo(const AjustesDialogo&) override { return {true, nombre_}; }
    std::uintptr_t ventana() const override { return 0; }
    // The worker hands the finished list to the page, which offers it for download.
    std::u16string abrirArchivo(const std::u16string&) override { return {}; }
    void progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) override {
        // One message for each thousandth at most: posting is dearer than the work between.
        const Progreso antes = progreso_;
        progreso_.avanzar(fase, hecho, total);
        if (antes.fase == progreso_.fase && antes.milesimas == progreso_.milesimas) {
            return;
        }
        // The texts the windows show, so that the page writes none of its own.
        const std::u16string porcentaje =
            progreso_.milesimas ? textoPorcentaje(*progreso_.milesimas) : std::u16string();
        jsAvance(texto::aUtf8(nombreFase(fase)).c_str(), static_cast<double>(hecho),
                 static_cast<double>(total), texto::aUtf8(progreso_.estado()).c_str(),
                 texto::aUtf8(porcentaje).c_str());
    }

  private:
    static constexpr std::u16string_view kCarpetaLista = u"/salida/";
    std::u16string nombre_;
    std::u16string caja_;
    Progreso progreso_;
};

// The list's layout as the page gives it (null, or a negative length: the default; the separator
// as UTF-16 code units, so that a NUL or an unpaired surrogate reaches the judgement), judged as
// the command judges its options; false, with the refusal told to the page, when it is refused.
bool tomarDisposicion(Estado& estado, const char* porGrupo, const char16_t* separador,
                      int unidades) {
    if (porGrupo != nullptr) {
        const auto n = leerPorGrupo(porGrupo);
        if (!n.valor) {
            jsOpcion(n.error.c_str());
            return false;
        }
        estado.porGrupo = *n.valor;
    }
    if (unidades >= 0) {
        auto s = leerSeparador(std::u16string_view(separador, static_cast<std::size_t>(unidades)));
        if (!s.valor) {
            jsOpcion(s.error.c_str());
            return false;
        }
        estado.separador = std::move(*s.valor);
    }
    return true;
}

}  // namespace
}  // namespace tralmix

// The name of the list of that day, told to the page (alNombreLista): the page's result names it,
// and the worker takes it from /salida.
extern "C" EMSCRIPTEN_KEEPALIVE void tralmix_nombre_lista(int anio, int mes, int dia) {
    using namespace tralmix;
    jsNombreLista(texto::aUtf8(nombreLista(Fecha{anio, static_cast<unsigned>(mes),
                                                 static_cast<unsigned>(dia)}))
                      .c_str());
}

// One run on /entrada/NOMBRE (the current folder), its list going to /salida; returns the
// command's exit status, or -1 when the layout was refused. The separator comes as that many
// UTF-16 code units (little-endian, as the machine's own), -1 for the default.
extern "C" EMSCRIPTEN_KEEPALIVE int tralmix_procesar(const char* nombre, int anio, int mes, int dia,
                                                     const char* porGrupo,
                                                     const char16_t* separador, int unidades) {
    using namespace tralmix;
    const std::u16string ruta = texto::desdeUtf8OReemplazo(nombre);
    PuertoWeb puerto(ruta);
    Estado estado;
    cargarEntorno(estado);
    estado.fecha = Fecha{anio, static_cast<unsigned>(mes), static_cast<unsigned>(dia)};
    if (!tomarDisposicion(estado, porGrupo, separador, unidades)) {
        return -1;
    }
    // A file handed over, as one dropped on the window: refused with the same box when it is not
    // one a run takes.
    if (const std::u16string_view rechazo = rechazoArchivos({ruta}); !rechazo.empty()) {
        puerto.mensaje(rechazo, Estilo::Exclamacion, kTitulo);
        return kSalidaRechazado;
    }
    return codigoSalida(
        correr(estado, puerto, [&](Estado& e, Puerto& p) { return procesarArchivo(e, p, ruta); }));
}
