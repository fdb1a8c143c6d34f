#include "app/ejecutor.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <optional>
#include <semaphore>
#include <vector>

#include "extract/proceso.h"
#include "puerto_falso.h"

namespace tralmix {
namespace {

// Writes down every call the run makes on the window, in order, with whether it came on the
// interface thread.
class PuertoRegistro : public prueba::PuertoFalso {
  public:
    mutable QStringList llamadas;
    mutable bool fueraDeInterfaz = false;

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
    std::u16string carpetaPrograma() const override { return anotar("programa", programa); }
    std::uintptr_t ventana() const override { return anotar("ventana", std::uintptr_t{7}); }
    void abrirArchivo(const std::u16string& r) override {
        anotar("abrir " + prueba::u8(r));
        PuertoFalso::abrirArchivo(r);
    }
    Fecha hoy() const override { return anotar("hoy", fecha); }
    std::u16string carpetaResultado() const override { return anotar("resultado", resultado); }
    std::u16string carpetaTemporal() const override { return anotar("temporal", temporal); }

  private:
    template <typename T = int>
    T anotar(const std::string& llamada, T valor = {}) const {
        llamadas.append(QString::fromStdString(llamada));
        fueraDeInterfaz |= QThread::currentThread() != QCoreApplication::instance()->thread();
        return valor;
    }
};

TEST(Ejecutor, TheRunMeetsTheWindowInTheSameOrderAsOnTheInterfaceThread) {
    prueba::CarpetaTemporal carpeta;
    const auto ruta = [&](const char* nombre, std::string_view bytes) {
        return prueba::u16(carpeta.escribir(nombre, bytes).string());
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
    };
    const std::vector<Caso> casos = {
        {"warning, then the list", documento, lista, {}},
        {"missing typed file, dialog cancelled", u"/no/existe.txt", u"", {}},
        {"name too short", u"", u"a.t", {}},
        {"empty file", u"", vacio, {}},
        {"pasted messages handed over", u"", u"", masivo},
        {"unreadable file handed over", u"", u"", carpeta.u16() + u"/falta.txt"},
    };
    for (const auto& caso : casos) {
        PuertoRegistro directo;
        PuertoRegistro llevado;
        for (PuertoRegistro* p : {&directo, &llevado}) {
            p->caja = caso.caja;
            p->respuesta = {!caso.eleccion.empty(), caso.eleccion};
            p->temporal = carpeta.u16();
            p->resultado = carpeta.u16();
        }
        auto correr = [&](Puerto& p) {
            Estado estado;
            cargarCarpetaTemporal(estado, p);
            return caso.procesar ? procesarArchivo(estado, p, *caso.procesar)
                                 : cmd_file01_Click(estado, p);
        };
        const Desenlace esperado = correr(directo);

        Ejecutor ejecutor(llevado);
        std::optional<Desenlace> desenlace;
        ejecutor.seguimiento.alTerminar = [&](Desenlace d) { desenlace = d; };
        ASSERT_TRUE(ejecutor.iniciar(correr, caso.procesar));
        ejecutor.esperar();

        EXPECT_EQ(llevado.llamadas, directo.llamadas) << caso.nombre;
        EXPECT_FALSE(llevado.fueraDeInterfaz) << caso.nombre;
        EXPECT_EQ(desenlace, esperado) << caso.nombre;
    }
}

// A run in the engine's manner: it reports each phase and, once the window has seen it, stops
// at its next cheap point if asked to; a run never stopped announces its list.
Desenlace porFases(Puerto& puerto, std::binary_semaphore& visto, std::vector<Fase>& recorridas) {
    for (const Fase fase :
         {Fase::Limpieza, Fase::Carga, Fase::Extraccion, Fase::Orden, Fase::Escritura}) {
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

TEST(Ejecutor, CancellingAtEachPhaseEndsTheRunThereAndTheNextRunIsNotCancelled) {
    for (const Fase parada :
         {Fase::Limpieza, Fase::Carga, Fase::Extraccion, Fase::Orden, Fase::Escritura}) {
        prueba::PuertoFalso interfaz;
        Ejecutor ejecutor(interfaz);
        std::binary_semaphore visto(0);
        std::vector<Fase> recorridas;
        std::vector<Desenlace> desenlaces;
        bool ocupado = false;
        ejecutor.seguimiento = {
            [&](const std::u16string&) { ocupado = true; },
            [&] { ocupado = false; },
            [&](Fase fase, std::uint64_t, std::uint64_t) {
                // What "Cancelar" does while the dialog shows this phase.
                if (fase == parada && desenlaces.empty()) {
                    ejecutor.cancelar();
                }
                visto.release();
            },
            [&](Desenlace d) { desenlaces.push_back(d); },
        };
        auto corrida = [&](Puerto& p) { return porFases(p, visto, recorridas); };

        ASSERT_TRUE(ejecutor.iniciar(corrida, u"/tmp/lista.txt"));
        EXPECT_TRUE(ocupado);
        EXPECT_FALSE(ejecutor.iniciar(corrida, u"/tmp/otra.txt")) << "a second run at once";
        ejecutor.esperar();
        EXPECT_EQ(recorridas.back(), parada);
        EXPECT_EQ(desenlaces, std::vector<Desenlace>{Desenlace::Interrumpido});
        EXPECT_TRUE(interfaz.mensajes.empty());
        EXPECT_FALSE(ocupado);

        recorridas.clear();
        ASSERT_TRUE(ejecutor.iniciar(corrida, u"/tmp/lista.txt"));
        ejecutor.esperar();
        EXPECT_EQ(recorridas.size(), 5u);
        EXPECT_EQ(desenlaces.back(), Desenlace::Escrito);
        EXPECT_EQ(interfaz.mensajes.size(), 1u);
    }
}

}  // namespace
}  // namespace tralmix
