#include "extract/corredor.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include "extract/fin.h"
#include "extract/proceso.h"
#include "puerto_falso.h"
#include "referencia/literal.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix {
namespace {

namespace fs = std::filesystem;
constexpr Fase kFases[] = {Fase::Limpieza, Fase::Carga, Fase::Extraccion, Fase::Orden,
                           Fase::Escritura};

// The interface thread's event loop as a toolkit runs it: each wake-up the Corredor asks for
// becomes one call of atender().
class Bucle {
  public:
    std::function<void()> despertar() {
        return [this] {
            const std::lock_guard<std::mutex> cerrojo(mutex_);
            ++pendientes_;
            hay_.notify_all();
        };
    }
    void girar(Corredor& corredor) {
        while (corredor.enCurso()) {
            {
                std::unique_lock<std::mutex> cerrojo(mutex_);
                hay_.wait(cerrojo, [&] { return pendientes_ > 0; });
                --pendientes_;
                atendiendo_ = true;
            }
            corredor.atender();
            const std::lock_guard<std::mutex> cerrojo(mutex_);
            atendiendo_ = false;
            hay_.notify_all();
        }
    }
    // From the worker: returns once every wake-up so far has been handled, so that none is
    // merged into another only because the interface thread was slow.
    void calma() {
        std::unique_lock<std::mutex> cerrojo(mutex_);
        hay_.wait(cerrojo, [&] { return pendientes_ == 0 && !atendiendo_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable hay_;
    int pendientes_ = 0;
    bool atendiendo_ = false;
};

// One thread lets another go on. (The MinGW build's std::binary_semaphore hung here under Wine.)
class Senal {
  public:
    void release() {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        dada_ = true;
        cambio_.notify_all();
    }
    void acquire() {
        std::unique_lock<std::mutex> cerrojo(mutex_);
        cambio_.wait(cerrojo, [&] { return dada_; });
        dada_ = false;
    }

  private:
    std::mutex mutex_;
    std::condition_variable cambio_;
    bool dada_ = false;
};

// Writes down every call the run makes on the person, in order, and whether one came on another
// thread than the interface's.
class PuertoRegistro : public prueba::PuertoFalso {
  public:
    mutable std::vector<std::string> llamadas;
    mutable bool fueraDeInterfaz = false;
    std::thread::id interfaz = std::this_thread::get_id();

    std::u16string textoRuta() const override { return anotar("textoRuta", caja); }
    void ponerTextoRuta(const std::u16string& t) override {
        anotar("ponerTextoRuta " + prueba::u8(t));
        PuertoFalso::ponerTextoRuta(t);
    }
    void mensaje(std::u16string_view t, Estilo e, std::u16string_view titulo) override {
        anotar("mensaje " + std::to_string(static_cast<int>(e)) + " " + prueba::u8(titulo) + ": " +
               prueba::u8(t));
        PuertoFalso::mensaje(t, e, titulo);
    }
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& a) override {
        anotar("dialogo");
        return PuertoFalso::mostrarDialogo(a);
    }
    std::uintptr_t ventana() const override { return anotar("ventana", std::uintptr_t{7}); }
    std::u16string abrirArchivo(const std::u16string& r) override {
        anotar("abrir " + prueba::u8(r));
        return PuertoFalso::abrirArchivo(r);
    }
    void informe(const Informe& i) override { anotar("informe " + prueba::u8(resumen(i))); }

  private:
    template <typename T = int>
    T anotar(const std::string& llamada, T valor = {}) const {
        llamadas.push_back(llamada);
        fueraDeInterfaz |= std::this_thread::get_id() != interfaz;
        return valor;
    }
};

TEST(Corredor, TheRunMeetsThePersonAsOnTheInterfaceThreadAndLeavesNoWorkingFileWhenItEndsEarly) {
    prueba::CarpetaTemporal carpeta;
    const auto ruta = [&](const char* nombre, std::string_view bytes) {
        return archivos::desdeRuta(carpeta.escribir(nombre, bytes));
    };
    const std::u16string lista = ruta("lista.txt", "b@x.org\r\na@x.org\r\n");
    const std::u16string masivo = ruta("pegado.txt", "de: Ana <a@x.org>; b@x.org, a@x.org\r\n");
    const std::u16string vacio = ruta("vacio.txt", "");
    const std::u16string documento = ruta("carta.doc", "a@x.org");
    struct Caso {
        const char* nombre;
        std::u16string caja;
        std::u16string eleccion;                 // the dialog's answer; empty: cancelled
        std::optional<std::u16string> procesar;  // a file handed over: no dialog
        std::optional<Fase> cancelarEn;
        std::u16string resultado;  // the list's folder; by default the test's folder
        bool quedaTrabajo;         // the working file is still there afterwards
        bool conInforme = false;   // a report asked for
    };
    const std::u16string noCarpeta = ruta("no-carpeta", "x");
    const std::vector<Caso> casos = {
        {"warning, then the list", documento, lista, {}, {}, {}, true},
        {"missing typed file, dialog cancelled", u"/no/existe.txt", u"", {}, {}, {}, false},
        {"name too short", u"", u"a.t", {}, {}, {}, false},
        {"empty file", u"", vacio, {}, {}, {}, true},
        {"pasted messages handed over", u"", u"", masivo, {}, {}, true},
        {"unreadable file handed over", u"", u"", carpeta.u16() + u"/falta.txt", {}, {}, false},
        {"stopped while cleaning", u"", lista, {}, Fase::Limpieza, {}, false},
        {"stopped while writing the list", u"", lista, {}, Fase::Escritura, {}, false},
        {"list folder is a file", u"", lista, {}, {}, noCarpeta, false},
        {"a report asked for", u"", lista, {}, {}, {}, true, true},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        PuertoRegistro directo;
        PuertoRegistro llevado;
        for (PuertoRegistro* p : {&directo, &llevado}) {
            p->caja = caso.caja;
            p->respuesta = {!caso.eleccion.empty(), caso.eleccion};
            p->temporal = carpeta.u16() + u"/tmp";
            p->resultado = caso.resultado.empty() ? carpeta.u16() : caso.resultado;
            p->cancelarEn = caso.cancelarEn;
        }
        fs::create_directories(archivos::aRuta(directo.temporal));
        const Corrida corrida = [&](Estado& estado, Puerto& p) {
            return caso.procesar ? procesarArchivo(estado, p, *caso.procesar)
                                 : cmd_file01_Click(estado, p);
        };
        Estado estadoDirecto;
        directo.preparar(estadoDirecto);
        estadoDirecto.pedirInforme = caso.conInforme;
        const Desenlace esperado = correr(estadoDirecto, directo, corrida);
        EXPECT_EQ(!fs::is_empty(archivos::aRuta(directo.temporal)), caso.quedaTrabajo);
        fs::remove_all(archivos::aRuta(directo.temporal));
        if (caso.cancelarEn) {
            continue;  // the window's stop comes from the Corredor, not from this port
        }
        fs::create_directories(archivos::aRuta(directo.temporal));

        Bucle bucle;
        Corredor corredor(llevado, bucle.despertar());
        std::optional<Desenlace> desenlace;
        corredor.seguimiento.alTerminar = [&](Desenlace d) { desenlace = d; };
        Estado estado;
        llevado.preparar(estado);
        estado.pedirInforme = caso.conInforme;
        ASSERT_TRUE(corredor.iniciar(estado, corrida, caso.procesar));
        bucle.girar(corredor);

        EXPECT_EQ(llevado.llamadas, directo.llamadas);
        EXPECT_EQ(caso.conInforme,
                  llevado.llamadas.back() == "informe Resumen: 2 direcciones en 1 grupo");
        EXPECT_FALSE(llevado.fueraDeInterfaz);
        EXPECT_EQ(desenlace, esperado);
        EXPECT_EQ(!fs::is_empty(archivos::aRuta(llevado.temporal)), caso.quedaTrabajo);
        fs::remove_all(archivos::aRuta(llevado.temporal));
    }
}

// A run in the engine's manner: it reports each phase and, once the window has seen it, stops
// at its next cheap point if asked to; a run never stopped announces its list.
Desenlace porFases(Puerto& puerto, Senal& visto, std::vector<Fase>& recorridas) {
    for (const Fase fase : kFases) {
        recorridas.push_back(fase);
        puerto.progreso(fase, 1, 2);
        visto.acquire();
        if (puerto.cancelado()) {
            return Desenlace::Interrumpido;
        }
    }
    puerto.mensaje(u"Se ha creado el archivo:", Estilo::Informacion, kTitulo);
    return Desenlace::Escrito;
}

TEST(Corredor, CancellingAtEachPhaseEndsTheRunThereAndTheNextRunIsNotCancelled) {
    for (const Fase parada : kFases) {
        prueba::PuertoFalso interfaz;
        Bucle bucle;
        Corredor corredor(interfaz, bucle.despertar());
        Senal visto;
        std::vector<Fase> recorridas;
        std::vector<Desenlace> desenlaces;
        bool ocupado = false;
        corredor.seguimiento = {
            [&](const std::u16string&) { ocupado = true; },
            [&] { ocupado = false; },
            [&](Fase fase, std::uint64_t, std::uint64_t) {
                // What "Cancelar" does while the dialog shows this phase.
                if (fase == parada && desenlaces.empty()) {
                    corredor.cancelar();
                }
                visto.release();
            },
            [&](Desenlace d) { desenlaces.push_back(d); },
        };
        auto corrida = [&](Estado&, Puerto& p) { return porFases(p, visto, recorridas); };
        Estado estado;

        ASSERT_TRUE(corredor.iniciar(estado, corrida, u"/tmp/lista.txt"));
        EXPECT_TRUE(ocupado);
        EXPECT_FALSE(corredor.iniciar(estado, corrida, u"/tmp/otra.txt")) << "a second run";
        bucle.girar(corredor);
        EXPECT_EQ(recorridas.back(), parada);
        EXPECT_EQ(desenlaces, std::vector<Desenlace>{Desenlace::Interrumpido});
        EXPECT_TRUE(interfaz.mensajes.empty());
        EXPECT_FALSE(ocupado);

        recorridas.clear();
        ASSERT_TRUE(corredor.iniciar(estado, corrida, u"/tmp/lista.txt"));
        bucle.girar(corredor);
        EXPECT_EQ(recorridas.size(), 5u);
        EXPECT_EQ(desenlaces.back(), Desenlace::Escrito);
        EXPECT_EQ(interfaz.mensajes.size(), 1u);
    }
}

// A run reports at every piece it reads; the window hears of it a few times a second and of
// every new phase, whatever the pace of the reports.
TEST(Corredor, ProgressIsMergedByTime) {
    struct Caso {
        const char* que;
        std::chrono::milliseconds porInforme;  // how far the clock moves between reports
        int maximo;                            // reports the window may hear
    };
    // Two phases, the end, and one report for each interval the reports span.
    const Caso casos[] = {
        {"clock still", std::chrono::milliseconds(0), 3},
        {"1 ms a report, 2 s in all", std::chrono::milliseconds(1), 2 + 2000 / 200 + 1},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        std::atomic<std::int64_t> ahora{0};
        prueba::PuertoFalso interfaz;
        Bucle bucle;
        Corredor corredor(interfaz, bucle.despertar(), [&] {
            return std::chrono::steady_clock::time_point(std::chrono::milliseconds(ahora));
        });
        std::vector<Fase> vistas;
        corredor.seguimiento.alOcupar = [](const std::u16string&) {};
        corredor.seguimiento.alAvanzar = [&](Fase f, std::uint64_t, std::uint64_t) {
            vistas.push_back(f);
        };
        Estado estado;
        corredor.iniciar(
            estado,
            [&](Estado&, Puerto& p) {
                for (const Fase fase : {Fase::Limpieza, Fase::Orden}) {
                    for (std::uint64_t i = 1; i <= 1000; ++i) {
                        ahora += c.porInforme.count();
                        p.progreso(fase, i, 1000);
                        bucle.calma();
                    }
                }
                return Desenlace::Escrito;
            },
            u"/tmp/lista.txt");
        bucle.girar(corredor);
        ASSERT_FALSE(vistas.empty());
        EXPECT_LE(static_cast<int>(vistas.size()), c.maximo);
        EXPECT_EQ(vistas.back(), Fase::Orden);
    }
}

// Whatever is thrown, in the run or by the window, ends the run with an error box, not the
// program.
TEST(Corredor, AnExceptionEndsTheRunWithAnErrorBox) {
    class Fallida : public prueba::PuertoFalso {
      public:
        int fallos = 1;  // boxes that throw before one shows
        void mensaje(std::u16string_view t, Estilo e, std::u16string_view titulo) override {
            if (fallos-- > 0) {
                throw std::runtime_error("sin ventana");
            }
            PuertoFalso::mensaje(t, e, titulo);
        }
    };
    struct Caso {
        const char* que;
        int fallos;
    };
    for (const Caso& c : {Caso{"the window's box throws", 1}, Caso{"every box throws", 9}}) {
        SCOPED_TRACE(c.que);
        Fallida interfaz;
        interfaz.fallos = c.fallos;
        Bucle bucle;
        Corredor corredor(interfaz, bucle.despertar());
        std::optional<Desenlace> desenlace;
        corredor.seguimiento.alTerminar = [&](Desenlace d) { desenlace = d; };
        Estado estado;
        estado.archivoEntrada = u"/datos/lista.txt";
        corredor.iniciar(estado, [](Estado&, Puerto& p) {
            p.mensaje(u"hola", Estilo::Informacion, kTitulo);
            return Desenlace::Escrito;
        });
        bucle.girar(corredor);
        EXPECT_EQ(desenlace, Desenlace::FalloArchivo);
        const std::vector<prueba::Mensaje> esperados =
            c.fallos == 1
                ? std::vector<prueba::Mensaje>{{mensajeFallo(kNoSeProceso, u"/datos/lista.txt",
                                                             u"sin ventana"),
                                                Estilo::Critico, std::u16string(kTitulo)}}
                : std::vector<prueba::Mensaje>{};
        ASSERT_EQ(interfaz.mensajes.size(), esperados.size());
        for (std::size_t i = 0; i < esperados.size(); ++i) {
            EXPECT_EQ(interfaz.mensajes[i].texto, esperados[i].texto);
            EXPECT_EQ(interfaz.mensajes[i].estilo, esperados[i].estilo);
        }
    }
}

// Whatever a run throws is told once, as a failure to process its input, with a reason a person
// reads; its lines go first, so that the box can show when memory ran out.
TEST(Concluir, EveryExceptionIsToldWithItsReason) {
    struct Caso {
        std::function<void()> lanzar;
        std::u16string_view motivo;
    };
    const Caso casos[] = {
        {[] { throw std::bad_alloc(); }, kSinMemoria},
        {[] { throw std::length_error("arreglo demasiado grande"); }, kDemasiadoGrande},
        {[] { throw texto::FalloConversion("UTF-16"); }, kSinConversion},
        {[] { throw std::runtime_error("sin ventana"); }, u"sin ventana"},
        {[] { throw 7; }, u"error desconocido"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(prueba::u8(c.motivo));
        prueba::PuertoFalso puerto;
        Estado estado;
        estado.archivoEntrada = u"/datos/lista.txt";
        estado.lineas = literal::comoArreglo({u"", u"a@b"});
        EXPECT_EQ(concluir(estado, puerto,
                           [&]() -> Fin {
                               c.lanzar();
                               return Desenlace::Escrito;
                           }),
                  Desenlace::FalloArchivo);
        ASSERT_EQ(puerto.mensajes.size(), 1u);
        EXPECT_EQ(puerto.mensajes[0].texto,
                  mensajeFallo(kNoSeProceso, u"/datos/lista.txt", c.motivo));
        EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Critico);
        EXPECT_TRUE(estado.lineas.empty());
    }
}

// A failure handed up is told with what failed and on which file; a stop, and an outcome that
// spoke for itself, are told to nobody.
TEST(Informar, OnlyAFailureIsTold) {
    struct Caso {
        Fin fin;
        Desenlace desenlace;
        std::u16string mensaje;  // empty: none
    };
    const Caso casos[] = {
        {Fallo(ENOENT, u"el archivo o la carpeta no existe").en(kNoSeLeyo, u"/a.txt"),
         Desenlace::FalloArchivo,
         mensajeFallo(kNoSeLeyo, u"/a.txt", u"el archivo o la carpeta no existe")},
        // The first step that says what failed is the one told.
        {Fallo::propio(kCambiado).en(kNoSeReleyo, u"/a.txt").en(kNoSeProceso, u"/b.txt"),
         Desenlace::FalloArchivo, mensajeFallo(kNoSeReleyo, u"/a.txt", kCambiado)},
        {Fallo::interrupcion().en(kNoSeLeyo, u"/a.txt"), Desenlace::Interrumpido, u""},
        {Desenlace::Rechazado, Desenlace::Rechazado, u""},
    };
    for (const Caso& c : casos) {
        prueba::PuertoFalso puerto;
        EXPECT_EQ(informar(puerto, c.fin), c.desenlace);
        ASSERT_EQ(puerto.mensajes.size(), c.mensaje.empty() ? 0u : 1u) << prueba::u8(c.mensaje);
        if (!c.mensaje.empty()) {
            EXPECT_EQ(puerto.mensajes[0].texto, c.mensaje);
            EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Critico);
            EXPECT_EQ(puerto.mensajes[0].titulo, kTitulo);
        }
    }
}

// The tests' hold: a run held waits at its first report until it is stopped (here at the fourth
// question), then stops there; a run not held goes on at once.
TEST(Correr, AHeldRunWaitsAtItsFirstReportUntilItIsStopped) {
    class Parada : public prueba::PuertoFalso {
      public:
        mutable int preguntas = 0;
        int informes = 0;
        void progreso(Fase, std::uint64_t, std::uint64_t) override { ++informes; }
        bool cancelado() const override { return ++preguntas > 3; }
    };
    for (const bool retener : {false, true}) {
        SCOPED_TRACE(retener);
        Parada puerto;
        Estado estado;
        estado.avance.retenerHastaParar = retener;
        const Desenlace d = correr(estado, puerto, [](Estado&, Puerto& p) {
            AvanceDelPuerto avance(p, Fase::Limpieza);
            return avance.seguir(1, 2) ? Desenlace::Escrito : Desenlace::Interrumpido;
        });
        EXPECT_EQ(puerto.informes, 1);
        EXPECT_EQ(d, retener ? Desenlace::Interrumpido : Desenlace::Escrito);
        EXPECT_EQ(puerto.preguntas, retener ? 5 : 1);
    }
}

TEST(Corredor, HandedOverFilesAreCheckedAlike) {
    prueba::CarpetaTemporal carpeta;
    const auto ruta = [&](const char* nombre) {
        return archivos::desdeRuta(carpeta.escribir(nombre, "a@x.org\r\n"));
    };
    fs::create_directory(carpeta.ruta() / "carpeta.txt");
    const std::u16string falta = carpeta.u16() + u"/falta.txt";
    const std::u16string pdf = ruta("doc.pdf");
    struct Caso {
        const char* que;
        std::vector<std::u16string> rutas;
        std::u16string_view rechazo;
        std::u16string mensaje = {};  // the box; the refusal alone when empty
    };
    const std::vector<Caso> casos = {
        {"a list", {ruta("lista.txt")}, {}},
        {"capitals", {ruta("LISTA.TXT")}, {}},
        {"contacts", {ruta("amigos.Ctt")}, {}},
        {"a pdf with addresses", {pdf}, kNoValido},
        {"no extension", {ruta("lista")}, kNoValido},
        // Taken by their content: a mailbox without an extension is read as one, and a sheet
        // is refused by the run, which says what it is.
        {"a mailbox without extension",
         {archivos::desdeRuta(carpeta.escribir("Inbox", "From - Sat Jan 03 01:05:34 1996\r\n"))},
         {}},
        {"a sheet", {archivos::desdeRuta(carpeta.escribir("hoja.xlsx", "PK\x03\x04\x14"))}, {}},
        {"a folder", {carpeta.u16() + u"/carpeta.txt"}, kNoValido},
        {"missing", {falta}, kNoExiste},
        {"none", {}, kNoValido},
        {"two files", {ruta("a.txt"), ruta("b.vcf")}, {}},
        // One refused file refuses the whole hand-over, and the box names it.
        {"two files, one missing",
         {ruta("a.txt"), falta},
         kNoExiste,
         std::u16string(kNoExiste) + u"\r\n" + falta},
        {"three files, a pdf among them",
         {ruta("a.txt"), pdf, falta},
         kNoValido,
         std::u16string(kNoValido) + u"\r\n" + pdf},
        {"an address among files", {ruta("a.txt"), u""}, kNoValido},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        EXPECT_EQ(rechazoArchivos(c.rutas), c.rechazo);
        const std::u16string mensaje = c.mensaje.empty() ? std::u16string(c.rechazo) : c.mensaje;
        EXPECT_EQ(mensajeRechazo(c.rutas), mensaje);

        // The window's way in: a refusal is a box, and no run starts; otherwise one run gets
        // every file.
        prueba::PuertoFalso interfaz;
        Bucle bucle;
        Corredor corredor(interfaz, bucle.despertar());
        Estado estado;
        bool corrio = false;
        const bool empezo = corredor.entregar(estado, c.rutas,
                                              [&](Estado&, Puerto&, std::vector<std::u16string> r) {
                                                  corrio = r == c.rutas;
                                                  return Desenlace::Escrito;
                                              });
        bucle.girar(corredor);
        EXPECT_EQ(empezo, c.rechazo.empty());
        EXPECT_EQ(corrio, c.rechazo.empty());
        ASSERT_EQ(interfaz.mensajes.size(), c.rechazo.empty() ? 0u : 1u);
        if (!c.rechazo.empty()) {
            EXPECT_EQ(interfaz.mensajes[0].texto, mensaje);
            EXPECT_EQ(interfaz.mensajes[0].estilo, Estilo::Exclamacion);
        }
    }
}

}  // namespace
}  // namespace tralmix
