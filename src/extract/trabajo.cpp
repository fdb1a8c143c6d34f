#include "extract/trabajo.h"

#include <algorithm>
#include <optional>

#include "extract/entrada.h"
#include "extract/limpieza.h"
#include "util/afinado.h"
#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/texto.h"

namespace tralmix {
namespace {

Trabajo fallo(Fallo f, std::u16string_view accion, std::u16string_view ruta) {
    Trabajo trabajo;
    trabajo.fallo = std::move(f).en(accion, ruta);
    return trabajo;
}

}  // namespace

Trabajo escribirTrabajo(const Estado& estado, Puerto& puerto, archivos::ArchivoTrabajo& archivo,
                        const std::function<void(std::uint64_t tamano)>& alVerMasivo,
                        Arreglo* lineas) {
    LectorTexto entrada;
    if (auto f = entrada.abrir(estado.archivoEntrada)) {
        return fallo(std::move(f), kNoSeLeyo, estado.archivoEntrada);
    }
    const std::u16string deseada = estado.carpetaTemporal + nombreArchivo(estado.archivoEntrada);
    // Never the input itself, when it lies in the temporary folder under the same name.
    const archivos::Identidad evitar = archivos::identidad(estado.archivoEntrada);
    if (auto f = archivo.crear(deseada, evitar)) {
        return fallo(std::move(f), kNoSeCreoTrabajo, deseada);
    }
    Trabajo trabajo;
    trabajo.ruta = archivo.ruta();
    trabajo.entrada = entrada.huella();

    std::string salida;
    salida.reserve(afinado::trozoPara(entrada.tamano()) + 4096);
    // The lines as the working file holds them: no reading back of what was just written. The
    // block is only reserved (no page is touched before it is written), about the input's size.
    // A block lent without elements (the texts of the files read before in the same run) takes
    // them after its own.
    Arreglo cargadas;
    if (lineas != nullptr && lineas->prestado() && lineas->empty()) {
        cargadas = std::move(*lineas);
    }
    const std::size_t base = cargadas.tamanoBytes();
    bool cargar = lineas != nullptr;
    if (cargar) {
        cargadas.reservar(0, base + static_cast<std::size_t>(std::min<std::uint64_t>(
                                        entrada.tamano(), archivos::kTamanoTrabajo)));
    }
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
        if (cargar) {
            if (trabajo.masivo) {
                cargar = false;
                cargadas.vaciarDesde(base);
            } else {
                cargadas.agregar(limpia);
            }
        }
        salida += "\r\n";
        ++trabajo.lineas;
    };

    AvanceDelPuerto avance(puerto, Fase::Limpieza);
    std::optional<Trabajo> corte;  // how the run ended before the text did
    auto leido = leerPiezas(
        entrada,
        [&](std::string_view pieza) {
            const bool antes = trabajo.masivo;
            paraCadaLinea(pieza, limpiarLinea);
            if (trabajo.masivo && !antes && entrada.utf8() && alVerMasivo) {
                alVerMasivo(entrada.tamano());
            }
            if (salida.size() >= afinado::kTrozo) {
                if (auto f = archivo.escribir(salida)) {
                    corte = fallo(std::move(f), kNoSeEscribioTrabajo, trabajo.ruta);
                    return false;
                }
                salida.clear();
            }
            if (!avance.seguir(entrada.leidos(), entrada.tamano())) {
                corte = fallo(Fallo::interrupcion(), {}, {});
                return false;
            }
            return true;
        },
        [&] {
            // Everything written so far came from a wrong reading of the file.
            if (auto f = archivo.crear(trabajo.ruta, evitar)) {
                corte = fallo(std::move(f), kNoSeCreoTrabajo, trabajo.ruta);
                return false;
            }
            salida.clear();
            trabajo.lineas = 0;
            trabajo.masivo = false;
            cargadas.vaciarDesde(base);
            cargar = lineas != nullptr;
            return true;
        });
    if (leido) {
        return fallo(std::move(leido), kNoSeLeyo, estado.archivoEntrada);
    }
    if (corte) {
        return std::move(*corte);
    }
    if (auto f = archivo.escribir(salida)) {
        return fallo(std::move(f), kNoSeEscribioTrabajo, trabajo.ruta);
    }
    trabajo.utf8 = entrada.utf8();
    if (lineas != nullptr) {
        // A working file of length 0 loads as no element at all; any other ends in CR LF, after
        // which there is the empty text.
        if (cargar && trabajo.lineas > 0) {
            cargadas.agregarVacio();
        }
        *lineas = std::move(cargadas);
    }
    return trabajo;
}

}  // namespace tralmix
