// The engine's entry for the page: one run on the files the page hands over, inside a Web Worker.
// The worker (trabajador.js) mounts each file read-only: one input at /entrada (the current
// folder), several each in a folder of its own (/entrada/0/NAME, /entrada/1/NAME…), since two
// files of different folders may share a name; the exclusion lists likewise at /excluir/0/NAME….
// It reads the list from /salida afterwards and passes on the messages, the progress and the
// report this port reports.

#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "extract/corredor.h"
#include "extract/disposicion.h"
#include "extract/informe.h"
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
EM_JS(void, jsInforme, (const char* json), { Module["alInforme"](UTF8ToString(json)); });
EM_JS(void, jsLineaResumen, (const char* linea),
      { Module["alLineaResumen"](UTF8ToString(linea)); });

constexpr std::u16string_view kCarpetaLista = u"/salida/";
constexpr std::u16string_view kCarpetaEntradas = u"/entrada/";
constexpr std::u16string_view kCarpetaExclusiones = u"/excluir/";

// How much of texto's start is a folder the worker mounted a file in ("/entrada/3/"), which the
// person never sees; 0 when it is none.
std::size_t carpetaMontada(std::u16string_view texto) {
    for (const std::u16string_view carpeta : {kCarpetaEntradas, kCarpetaExclusiones}) {
        if (!texto.starts_with(carpeta)) {
            continue;
        }
        std::size_t i = carpeta.size();
        while (i < texto.size() && texto[i] >= u'0' && texto[i] <= u'9') {
            ++i;
        }
        if (i > carpeta.size() && i < texto.size() && texto[i] == u'/') {
            return i + 1;
        }
    }
    return 0;
}

// A path as the person knows it: the file's own name, without the folder the worker mounted it in.
std::u16string comoLoConoce(std::u16string_view ruta) {
    return std::u16string(ruta.substr(carpetaMontada(ruta)));
}

// The page stops a run by ending its worker, so nothing here asks whether to stop: a stopped run
// leaves no list behind, as the engine's own interruption would.
class PuertoWeb final : public Puerto {
  public:
    explicit PuertoWeb(std::u16string nombre) : nombre_(std::move(nombre)) {}

    std::u16string textoRuta() const override { return caja_; }
    void ponerTextoRuta(const std::u16string& texto) override { caja_ = texto; }
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override {
        // Line breaks as a page writes them; the list and the files are named without the
        // folders they have only in the worker's memory.
        std::u16string lineas;
        for (std::size_t i = 0; i < texto.size(); ++i) {
            if (texto[i] == u'\r' && i + 1 < texto.size() && texto[i + 1] == u'\n') {
                continue;
            }
            if (i == 0 || texto[i - 1] == u'\n') {
                const std::u16string_view resto = texto.substr(i);
                const std::size_t carpeta =
                    resto.starts_with(kCarpetaLista) ? kCarpetaLista.size() : carpetaMontada(resto);
                if (carpeta > 0) {
                    i += carpeta - 1;
                    continue;
                }
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

    // The report as the command's --informe writes it, its files named as the person knows them,
    // and the lines every front end shows of it.
    void informe(const Informe& informe) override {
        Informe visto = informe;
        for (auto* archivos : {&visto.archivos, &visto.exclusiones}) {
            for (ArchivoInforme& a : *archivos) {
                a.ruta = comoLoConoce(a.ruta);
            }
        }
        jsInforme(informeJson(visto).c_str());
        for (const std::u16string& linea : lineasDelResumen(visto)) {
            jsLineaResumen(texto::aUtf8(linea).c_str());
        }
    }

  private:
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

// Bits of tralmix_procesar's banderas.
constexpr int kDepurar = 1;  // the clean-up mode
constexpr int kResumen = 2;  // a report of a run on one input without exclusion lists

// One run, its list going to /salida. nombres holds the names of the inputs, then of the
// exclusion lists, each as its length in bytes (four bytes, little-endian) and its UTF-8; one
// input is /entrada/NAME (the current folder), several and the exclusion lists are in folders of
// their own (see the top of this file). Returns the command's exit status, or -1 when the layout
// was refused. The separator comes as that many UTF-16 code units (little-endian, as the
// machine's own), -1 for the default.
extern "C" EMSCRIPTEN_KEEPALIVE int tralmix_procesar(const std::uint8_t* nombres, int bytes,
                                                     int entradas, int exclusiones, int banderas,
                                                     int anio, int mes, int dia,
                                                     const char* porGrupo,
                                                     const char16_t* separador, int unidades) {
    using namespace tralmix;
    std::vector<std::u16string> leidos;
    for (std::size_t lugar = 0; lugar + 4 <= static_cast<std::size_t>(bytes);) {
        std::uint32_t largo = 0;
        std::memcpy(&largo, nombres + lugar, 4);
        lugar += 4;
        largo = static_cast<std::uint32_t>(
            std::min<std::size_t>(largo, static_cast<std::size_t>(bytes) - lugar));
        leidos.push_back(texto::desdeUtf8OReemplazo(
            std::string_view(reinterpret_cast<const char*>(nombres + lugar), largo)));
        lugar += largo;
    }
    if (entradas < 1 || exclusiones < 0 ||
        leidos.size() !=
            static_cast<std::size_t>(entradas) + static_cast<std::size_t>(exclusiones)) {
        jsOpcion("nombres de archivo incompletos");
        return -1;
    }
    const auto enCarpeta = [](std::u16string_view carpeta, std::size_t i,
                              const std::u16string& nombre) {
        std::u16string ruta(carpeta);
        for (const char c : std::to_string(i)) {
            ruta += static_cast<char16_t>(c);
        }
        return ruta + u"/" + nombre;
    };
    std::vector<std::u16string> rutas;
    for (std::size_t i = 0; i < static_cast<std::size_t>(entradas); ++i) {
        rutas.push_back(entradas == 1 ? leidos[i] : enCarpeta(kCarpetaEntradas, i, leidos[i]));
    }
    PuertoWeb puerto(rutas.front());
    Estado estado;
    cargarEntorno(estado);
    estado.fecha = Fecha{anio, static_cast<unsigned>(mes), static_cast<unsigned>(dia)};
    if (!tomarDisposicion(estado, porGrupo, separador, unidades)) {
        return -1;
    }
    for (std::size_t j = 0; j < static_cast<std::size_t>(exclusiones); ++j) {
        estado.exclusiones.push_back(
            enCarpeta(kCarpetaExclusiones, j, leidos[static_cast<std::size_t>(entradas) + j]));
    }
    estado.depurar = (banderas & kDepurar) != 0;
    estado.pedirInforme = (banderas & kResumen) != 0;
    // Files handed over, as those dropped on the window: refused with the same box when one is
    // not a file a run takes; of several, the box names it.
    for (const std::u16string& ruta : rutas) {
        if (const std::u16string_view rechazo = rechazoArchivos({ruta}); !rechazo.empty()) {
            std::u16string texto(rechazo);
            if (rutas.size() > 1) {
                texto += u"\r\n" + comoLoConoce(ruta);
            }
            puerto.mensaje(texto, Estilo::Exclamacion, kTitulo);
            return kSalidaRechazado;
        }
    }
    return codigoSalida(correr(
        estado, puerto, [&](Estado& e, Puerto& p) { return procesarArchivos(e, p, rutas); }));
}
