#include "extract/trabajo.h"

#include <optional>

#include "extract/entrada.h"
#include "extract/limpieza.h"
#include "util/afinado.h"
#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/texto.h"

namespace tralmix {
namespace {

Trabajo fallo(Puerto& puerto, std::u16string_view accion, std::u16string_view ruta,
              const archivos::Fallo& f) {
    puerto.mensaje(mensajeFallo(accion, ruta, f.motivo), Estilo::Critico, kTitulo);
    return Trabajo{Desenlace::FalloArchivo, {}, 0, false, {}, false};
}

}  // namespace

Trabajo escribirTrabajo(const Estado& estado, Puerto& puerto, archivos::ArchivoTrabajo& archivo,
                        const std::function<void(std::uint64_t tamano)>& alVerMasivo) {
    LectorTexto entrada;
    if (const auto f = entrada.abrir(estado.archivoEntrada)) {
        return fallo(puerto, kNoSeLeyo, estado.archivoEntrada, f);
    }
    const std::u16string deseada = estado.carpetaTemporal + nombreArchivo(estado.archivoEntrada);
    // Never the input itself, when it lies in the temporary folder under the same name.
    const archivos::Identidad evitar = archivos::identidad(estado.archivoEntrada);
    if (const auto f = archivo.crear(deseada, evitar)) {
        return fallo(puerto, kNoSeCreoTrabajo, deseada, f);
    }
    Trabajo trabajo;
    trabajo.ruta = archivo.ruta();
    trabajo.entrada = entrada.huella();

    std::string salida;
    salida.reserve(afinado::trozoPara(entrada.tamano()) + 4096);
    auto limpiarLinea = [&](std::string_view linea) {
        const std::string_view recortada = texto::recortar(linea);
        if (recortada.empty()) {
            return;
        }
        const std::size_t inicio = salida.size();
        const Rasgos rasgos = limpieza(recortada, salida);
        const std::string_view limpia = std::string_view(salida).substr(inicio);
        if (limpia.empty() || (rasgos.w && limpia.find("www.") != std::string_view::npos)) {
            salida.resize(inicio);
            return;
        }
        trabajo.masivo = trabajo.masivo || rasgos.separador;
        salida += "\r\n";
        ++trabajo.lineas;
    };

    AvanceDelPuerto avance(puerto, Fase::Limpieza);
    std::optional<Trabajo> corte;  // how the run ended before the text did
    const auto leido = leerPiezas(
        entrada,
        [&](std::string_view pieza) {
            const bool antes = trabajo.masivo;
            paraCadaLinea(pieza, limpiarLinea);
            if (trabajo.masivo && !antes && entrada.utf8() && alVerMasivo) {
                alVerMasivo(entrada.tamano());
            }
            if (salida.size() >= afinado::kTrozo) {
                if (const auto e = archivo.escribir(salida)) {
                    corte = fallo(puerto, kNoSeEscribioTrabajo, trabajo.ruta, e);
                    return false;
                }
                salida.clear();
            }
            if (!avance.seguir(entrada.leidos(), entrada.tamano())) {
                corte = Trabajo{Desenlace::Interrumpido, trabajo.ruta, 0, false, {}, false};
                return false;
            }
            return true;
        },
        [&] {
            // Everything written so far came from a wrong reading of the file.
            if (const auto e = archivo.crear(trabajo.ruta, evitar)) {
                corte = fallo(puerto, kNoSeCreoTrabajo, trabajo.ruta, e);
                return false;
            }
            salida.clear();
            trabajo.lineas = 0;
            trabajo.masivo = false;
            return true;
        });
    if (leido) {
        return fallo(puerto, kNoSeLeyo, estado.archivoEntrada, leido);
    }
    if (corte) {
        return *corte;
    }
    if (const auto f = archivo.escribir(salida)) {
        return fallo(puerto, kNoSeEscribioTrabajo, trabajo.ruta, f);
    }
    trabajo.utf8 = entrada.utf8();
    return trabajo;
}

}  // namespace tralmix
