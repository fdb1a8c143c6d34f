#include "extract/proceso.h"

#include <new>
#include <optional>
#include <stdexcept>

#include "extract/comolista.h"
#include "extract/formatos/formatos.h"
#include "extract/fuentes.h"
#include "extract/masivo.h"
#include "extract/resultado.h"
#include "extract/trabajo.h"
#include "util/afinado.h"
#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/cargador.h"
#include "util/entorno.h"
#include "util/texto.h"

namespace tralmix {
namespace {

// The two long-standing entries first and unchanged, then the contact and mail files.
constexpr std::u16string_view kFiltroTexto =
    u"Txt Files (*.Txt) | *.txt|MSN Files  (*.ctt) | *.ctt";
// Hide the read-only box (4), the file must exist (4096), offer to create it (8192).
constexpr std::int32_t kBanderas = 4 | 4096 | 8192;

// Only warns: whatever it finds, the Open dialog follows.
void revisarRutaEscrita(Estado& estado, Puerto& puerto) {
    std::u16string caja = puerto.textoRuta();
    // Where names ignore case the box is lower-cased as the user sees it; elsewhere the file is
    // looked for as typed, and only its extension is judged without regard to case.
    if constexpr (kNombresSinMayusculas) {
        caja = texto::minusculas(caja);
        puerto.ponerTextoRuta(caja);
    }
    if (existeArchivo(caja)) {
        if (!extensionAdmitida(caja)) {
            puerto.mensaje(kNoValido, Estilo::Exclamacion, kTitulo);
        } else {
            estado.archivoEntrada = caja;
        }
    } else if (!texto::recortar(caja).empty()) {
        puerto.mensaje(kNoExiste, Estilo::Exclamacion, kTitulo);
    }
}

// The working file is held from its first line until it is loaded, so that no other run rewrites
// it meanwhile; closing it is where a failed write shows.
bool cerrarTrabajo(archivos::ArchivoTrabajo& archivo, const Trabajo& trabajo, Puerto& puerto) {
    if (const auto f = archivo.cerrar()) {
        puerto.mensaje(mensajeFallo(kNoSeEscribioTrabajo, trabajo.ruta, f.motivo), Estilo::Critico,
                       kTitulo);
        return false;
    }
    return true;
}

// The list path reads the working file's lines; empty when the run goes on.
std::optional<Desenlace> cargarTrabajo(Estado& estado, Puerto& puerto,
                                       archivos::ArchivoTrabajo& archivo, const Trabajo& trabajo) {
    AvanceDelPuerto avance(puerto, Fase::Carga);
    const std::u16string error = cargarArchivo(estado.lineas, trabajo.ruta, true, &avance);
    if (error == kCargaInterrumpida) {
        return Desenlace::Interrumpido;
    }
    if (!error.empty()) {
        puerto.mensaje(mensajeFallo(kNoSeCargoTrabajo, trabajo.ruta, error), Estilo::Critico,
                       kTitulo);
        return Desenlace::FalloArchivo;
    }
    if (!cerrarTrabajo(archivo, trabajo, puerto)) {
        return Desenlace::FalloArchivo;
    }
    return std::nullopt;
}

}  // namespace

EntradaLeida leerTexto(Estado& estado, Puerto& puerto, archivos::ArchivoTrabajo& archivo,
                       LecturaAnticipada& anticipada) {
    // Pasted messages are read again by masivo; a large part of that reading need not wait for
    // the working file, and starts on a second core as soon as a line shows what the text is.
    const Trabajo trabajo = escribirTrabajo(estado, puerto, archivo, [&](std::uint64_t tamano) {
        if (tamano >= afinado::kEnDosPartes) {
            anticipada.empezar(estado.archivoEntrada, tamano / 100 * afinado::kCorteDurante);
        }
    });
    estado.archivoTrabajo = archivo.ruta();
    if (trabajo.desenlace != Desenlace::Escrito) {
        return {trabajo.desenlace};
    }
    estado.huellaEntrada = trabajo.entrada;
    // A working file of length 0 loads as no element at all.
    if (trabajo.lineas == 0) {
        if (!cerrarTrabajo(archivo, trabajo, puerto)) {
            return {Desenlace::FalloArchivo};
        }
        estado.lineas.clear();
        return {std::nullopt, true};
    }
    // One line with "," or ";" makes the text pasted messages; masivo reads the file again
    // itself and has no use for the working file's lines, so they are not loaded for it.
    if (trabajo.masivo) {
        if (!cerrarTrabajo(archivo, trabajo, puerto)) {
            return {Desenlace::FalloArchivo};
        }
        if (const auto fin = masivo(estado, puerto, trabajo, &anticipada)) {
            return {*fin};
        }
        return {std::nullopt, false, Camino::Masivo};
    }
    if (const auto fin = cargarTrabajo(estado, puerto, archivo, trabajo)) {
        return {*fin};
    }
    comolista(estado.lineas);
    return {std::nullopt, false, Camino::Lista};
}

namespace {

// The steps of a run once the input is known: read and clean it into the working file (which
// tells a bulk message from a list on the way), extract the addresses by the path that fits,
// then sort and write the list.
Desenlace procesar(Estado& estado, Puerto& puerto) {
    // Reading the list this run is about to write would replace what the user chose by its own
    // addresses: the same file under any name (a link, another spelling) is refused untouched.
    if (esLaLista(estado, puerto, estado.archivoEntrada)) {
        return Desenlace::Rechazado;
    }
    // Contacts and saved mail are read as what they are; anything else as a list or pasted
    // messages.
    if (const auto formato = formatos::formatoDe(estado.archivoEntrada);
        formato != formatos::Formato::Texto && formato != formatos::Formato::Ninguno) {
        return formatos::procesarFormato(estado, puerto, formato);
    }
    // Both live until the list is written: a file of its own made beside a held working file
    // goes with the run.
    archivos::ArchivoTrabajo archivo;
    LecturaAnticipada anticipada;
    const EntradaLeida leida = leerTexto(estado, puerto, archivo, anticipada);
    if (leida.fin) {
        return *leida.fin;
    }
    if (leida.vacia) {
        puerto.mensaje(kVacio, Estilo::Exclamacion, kTitulo);
        return Desenlace::Rechazado;
    }
    return ordenarYEscribir(estado, puerto, leida.camino);
}

Desenlace procesarElegido(Estado& estado, Puerto& puerto, std::u16string ruta) {
    estado.archivoEntrada = std::move(ruta);
    if (texto::recortar(estado.archivoEntrada).size() < 4) {
        puerto.mensaje(kNombreNoValido, Estilo::Critico, kTituloCancelada);
        estado.archivoEntrada.clear();
        puerto.ponerTextoRuta(u"");
        return Desenlace::Rechazado;
    }
    puerto.ponerTextoRuta(estado.archivoEntrada);
    // Exclusion lists are read, and a report begun, before the input.
    if (const auto fin = empezarRecuento(estado, puerto, {estado.archivoEntrada}, false)) {
        return *fin;
    }
    return procesar(estado, puerto);
}

Desenlace elegirYProcesar(Estado& estado, Puerto& puerto) {
    revisarRutaEscrita(estado, puerto);

    AjustesDialogo ajustes;
    ajustes.initialDir = estado.carpetaPrograma;
    ajustes.dialogTitle = u"Abrir";
    ajustes.filter = std::u16string(kFiltroTexto) + u"|" + formatos::entradaFiltro();
    ajustes.filterIndex = 0;
    ajustes.flags = kBanderas;
    ajustes.hWndParent = puerto.ventana();
    ajustes.abrir = true;
    ajustes.varios = true;
    RespuestaDialogo respuesta = puerto.mostrarDialogo(ajustes);
    if (!respuesta.elegido) {
        estado.archivoEntrada.clear();
        return Desenlace::Cancelado;
    }
    if (respuesta.rutas.size() > 1) {
        return procesarVarios(estado, puerto, std::move(respuesta.rutas));
    }
    return procesarElegido(estado, puerto, std::move(respuesta.ruta));
}

// A file too large for this machine's memory (or one a converter fails on) ends the run with a
// message like any other file failure instead of ending the program; the unconfirmed result file
// is removed on the way out, so an earlier list stays.
template <typename Paso>
Desenlace conMemoria(Estado& estado, Puerto& puerto, Paso&& paso) {
    std::u16string_view motivo;
    try {
        return paso();
    } catch (const std::bad_alloc&) {
        motivo = kSinMemoria;
    } catch (const std::length_error&) {
        motivo = kDemasiadoGrande;
    } catch (const texto::FalloConversion&) {
        motivo = kSinConversion;
    }
    estado.lineas.clear();
    estado.copiaLineas.clear();
    puerto.mensaje(mensajeFallo(kNoSeProceso, estado.archivoEntrada, motivo), Estilo::Critico,
                   kTitulo);
    return Desenlace::FalloArchivo;
}

}  // namespace

bool extensionAdmitida(std::u16string_view ruta) {
    return formatos::formatoDe(ruta) != formatos::Formato::Ninguno;
}

void cargarCarpetaTemporal(Estado& estado, std::u16string carpeta) {
    if (const auto nul = carpeta.find(u'\0'); nul != std::u16string::npos) {
        carpeta.resize(nul);
    }
    estado.carpetaTemporal = conSeparador(std::move(carpeta));
}

void cargarEntorno(Estado& estado) {
    cargarCarpetaTemporal(estado, entorno::carpetaTemporal());
    estado.carpetaPrograma = entorno::carpetaPrograma();
    estado.carpetaResultado = entorno::carpetaPersonal();
}

Desenlace cmd_file01_Click(Estado& estado, Puerto& puerto) {
    return conMemoria(estado, puerto, [&] { return elegirYProcesar(estado, puerto); });
}

Desenlace procesarArchivo(Estado& estado, Puerto& puerto, std::u16string ruta) {
    return conMemoria(estado, puerto,
                      [&] { return procesarElegido(estado, puerto, std::move(ruta)); });
}

Desenlace procesarArchivos(Estado& estado, Puerto& puerto, std::vector<std::u16string> rutas) {
    if (rutas.empty()) {
        return Desenlace::Cancelado;
    }
    if (rutas.size() == 1) {
        return procesarArchivo(estado, puerto, std::move(rutas.front()));
    }
    return conMemoria(estado, puerto,
                      [&] { return procesarVarios(estado, puerto, std::move(rutas)); });
}

}  // namespace tralmix
