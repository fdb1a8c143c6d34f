// tralmix-cli: one processing run on INPUT, without a window.

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
    LineaProgreso linea(stderr, mostrar);
    const std::u16string entrada = opciones.entrada;
    PuertoConsola puerto(std::move(opciones), stderr, linea);
    tralmix::Estado estado;
    puerto.prepararEstado(estado);
    const tralmix::Desenlace desenlace =
        tralmix::correr(estado, puerto, [&](tralmix::Estado& e, tralmix::Puerto& p) {
            return tralmix::procesarArchivo(e, p, entrada);
        });
    linea.borrar();
    switch (desenlace) {
        case tralmix::Desenlace::Escrito:
            // A caller that cannot learn where the list is has not got it.
            if (!escribir(stdout, tralmix::texto::aUtf8(puerto.listaAbierta()) + "\n")) {
                escribir(stderr, "tralmix-cli: no se pudo escribir la ruta de la lista\n");
                return kSalidaFalloArchivo;
            }
            return kSalidaEscrito;
        case tralmix::Desenlace::Cancelado:
        case tralmix::Desenlace::Rechazado:
            return kSalidaRechazado;
        case tralmix::Desenlace::Interrumpido:
            // As a shell reports a program ended by that signal.
            return senalDeInterrupcion() != 0 ? 128 + senalDeInterrupcion() : kSalidaInterrumpido;
        case tralmix::Desenlace::FalloArchivo:
            break;
    }
    return kSalidaFalloArchivo;
}
