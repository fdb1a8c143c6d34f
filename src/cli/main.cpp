// tralmix-cli: one processing run on INPUT..., without a window.

#include <cstdio>
#include <variant>

#include "cli/opciones.h"
#include "cli/plataforma.h"
#include "cli/progreso.h"
#include "cli/puerto_consola.h"
#include "extract/corredor.h"
#include "extract/proceso.h"
#include "util/entorno.h"
#include "util/texto.h"

int main(int argc, char** argv) {
    using namespace tralmix::cli;
    auto lectura = leerOpciones(tralmix::entorno::argumentos(argc, argv));
    if (const auto* respuesta = std::get_if<Respuesta>(&lectura)) {
        escribir(stdout, respuesta->salida);
        escribir(stderr, respuesta->errores);
        return respuesta->estado;
    }
    Opciones& opciones = std::get<Opciones>(lectura);

    atenderInterrupcion();
    const bool mostrar = opciones.progreso == MostrarProgreso::Siempre ||
                         (opciones.progreso == MostrarProgreso::Automatico && esTerminal(stderr));
    tralmix::Estado estado;
    estado.avance = tralmix::entorno::ajustesAvance();
    LineaProgreso linea(stderr, mostrar, estado.avance.demora);
    const bool deEntradaEstandar = opciones.entradaEstandar;
    PuertoConsola puerto(std::move(opciones), stderr, linea);
    puerto.prepararEstado(estado);
    // "-": standard input, copied for the run into the temporary folder and removed after it.
    CopiaEntrada copia;
    tralmix::Desenlace desenlace = tralmix::Desenlace::Interrumpido;
    if (deEntradaEstandar && !copia.copiar(estado.carpetaTemporal)) {
        if (!copia.fallo().empty()) {
            puerto.mensaje(copia.fallo(), tralmix::Estilo::Critico, tralmix::kTitulo);
            desenlace = tralmix::Desenlace::FalloArchivo;
        }
    } else {
        if (deEntradaEstandar) {
            puerto.usarCopiaDeEntrada(copia.ruta());
            estado.copiaEntradaEstandar = copia.ruta();
        }
        desenlace = tralmix::correr(estado, puerto, [&](tralmix::Estado& e, tralmix::Puerto& p) {
            return tralmix::procesarArchivos(e, p, puerto.entradas());
        });
    }
    linea.borrar();
    // A caller that cannot learn where the list is has not got it.
    if (desenlace == tralmix::Desenlace::Escrito &&
        !escribir(stdout, tralmix::texto::aUtf8(puerto.listaAbierta()) + "\n")) {
        escribir(stderr, "tralmix-cli: no se pudo escribir la ruta de la lista\n");
        return tralmix::kSalidaFalloArchivo;
    }
    if (desenlace == tralmix::Desenlace::Interrumpido) {
        escribir(stderr, "Interrumpido: no se creó la lista.\n");
        // As a shell reports a program ended by that signal.
        if (senalDeInterrupcion() != 0) {
            return 128 + senalDeInterrupcion();
        }
    }
    return tralmix::codigoSalida(desenlace);
}
