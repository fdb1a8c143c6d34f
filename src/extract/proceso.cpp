#include "extract/proceso.h"

#include <utility>

#include "extract/comolista.h"
#include "extract/fin.h"
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
        if (!archivoAdmitido(caja)) {
            puerto.mensaje(kNoValido, Estilo::Exclamacion, kTitulo);
        } else {
            estado.archivoEntrada = caja;
        }
    } else if (!texto::recortar(caja).empty()) {
        puerto.mensaje(kNoExiste, Estilo::Exclamacion, kTitulo);
    }
}

// The working file is held from its first line until it is complete, so that no other run
// rewrites it meanwhile; closing it is where a failed write shows.
Fallo cerrarTrabajo(archivos::ArchivoTrabajo& archivo, const Trabajo& trabajo) {
    return archivo.cerrar().en(kNoSeEscribioTrabajo, trabajo.ruta);
}

}  // namespace

EntradaLeida leerTexto(Estado& estado, Puerto& puerto, archivos::ArchivoTrabajo& archivo,
                       LecturaAnticipada& anticipada) {
    // Pasted messages are read again by masivo; a large part of that reading need not wait for
    // the working file, and starts on a second core as soon as a line shows what the text is.
    // A list's lines are what the working file holds, taken as they are written to it.
    Trabajo trabajo = escribirTrabajo(
        estado, puerto, archivo,
        [&](std::uint64_t tamano) {
            if (tamano >= afinado::kEnDosPartes) {
                anticipada.empezar(estado.archivoEntrada, tamano / 100 * afinado::kCorteDurante);
            }
        },
        &estado.lineas);
    estado.archivoTrabajo = archivo.ruta();
    if (trabajo.fallo) {
        return {std::move(trabajo.fallo)};
    }
    estado.huellaEntrada = trabajo.entrada;
    // A working file of length 0 loads as no element at all.
    if (trabajo.lineas == 0) {
        if (auto fallo = cerrarTrabajo(archivo, trabajo)) {
            return {std::move(fallo)};
        }
        estado.lineas.vaciarDesde(estado.lineas.tamanoBytes());
        return {std::nullopt, true};
    }
    // One line with "," or ";" makes the text pasted messages; masivo reads the file again
    // itself and has no use for the working file's lines, so they are not loaded for it.
    if (trabajo.masivo) {
        if (auto fallo = cerrarTrabajo(archivo, trabajo)) {
            return {std::move(fallo)};
        }
        // The block lent by a run on several files stays theirs; the words go after its texts.
        Arreglo prestado = std::move(estado.lineas);
        if (auto fallo = masivo(estado, puerto, trabajo, &anticipada)) {
            return {std::move(fallo)};
        }
        prestado.anexar(std::move(estado.lineas));
        estado.lineas = std::move(prestado);
        return {std::nullopt, false, Camino::Masivo};
    }
    if (auto fallo = cerrarTrabajo(archivo, trabajo)) {
        return {std::move(fallo)};
    }
    comolista(estado.lineas);
    return {std::nullopt, false, Camino::Lista};
}

namespace {

// The steps of a run once the input is known: read and clean it into the working file (which
// tells a bulk message from a list on the way), extract the addresses by the path that fits,
// then sort and write the list.
Fin procesar(Estado& estado, Puerto& puerto) {
    // Reading the list this run is about to write would replace what the user chose by its own
    // addresses: the same file under any name (a link, another spelling) is refused untouched.
    if (esLaLista(estado, puerto, estado.archivoEntrada)) {
        return Desenlace::Rechazado;
    }
    // A sheet, a document or a program read as text would give a list of junk: refused, saying
    // what the file seems to be. Contacts and saved mail are read as what they are; anything
    // else as a list or pasted messages.
    const formatos::Eleccion eleccion = formatos::elegir(estado.archivoEntrada);
    if (eleccion.binario != formatos::Binario::No) {
        puerto.mensaje(mensajeFallo(kNoSeLeyo, estado.archivoEntrada,
                                    formatos::motivoBinario(eleccion.binario)),
                       Estilo::Exclamacion, kTitulo);
        return Desenlace::Rechazado;
    }
    if (formatos::tieneLector(eleccion.formato)) {
        return formatos::procesarFormato(estado, puerto, eleccion.formato);
    }
    // Both live until the list is written: a file of its own made beside a held working file
    // goes with the run.
    archivos::ArchivoTrabajo archivo;
    LecturaAnticipada anticipada;
    estado.lineas.clear();  // nothing of an earlier run goes on in its block
    EntradaLeida leida = leerTexto(estado, puerto, archivo, anticipada);
    if (leida.fin) {
        return std::move(*leida.fin);
    }
    if (leida.vacia) {
        puerto.mensaje(kVacio, Estilo::Exclamacion, kTitulo);
        return Desenlace::Rechazado;
    }
    return ordenarYTerminar(estado, puerto, leida.camino);
}

Fin procesarElegido(Estado& estado, Puerto& puerto, std::u16string ruta) {
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

Fin elegirYProcesar(Estado& estado, Puerto& puerto) {
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
        return procesarVarios(estado, puerto, respuesta.rutas);
    }
    return procesarElegido(estado, puerto, std::move(respuesta.ruta));
}

}  // namespace

bool archivoAdmitido(std::u16string_view ruta) {
    if (formatos::formatoDe(ruta) != formatos::Formato::Ninguno) {
        return true;
    }
    // Binary content is taken too: the run refuses it, saying what it seems to be.
    const formatos::Eleccion eleccion = formatos::elegir(ruta);
    return eleccion.binario != formatos::Binario::No || formatos::tieneLector(eleccion.formato);
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

// A file too large for this machine's memory (or one a converter fails on) ends the run with a
// message like any other failure instead of ending the program; the unconfirmed result file is
// removed on the way out, so an earlier list stays.
Desenlace cmd_file01_Click(Estado& estado, Puerto& puerto) {
    return concluir(estado, puerto, [&] { return elegirYProcesar(estado, puerto); });
}

Desenlace procesarArchivo(Estado& estado, Puerto& puerto, std::u16string ruta) {
    return concluir(estado, puerto,
                    [&] { return procesarElegido(estado, puerto, std::move(ruta)); });
}

Desenlace procesarArchivos(Estado& estado, Puerto& puerto, std::vector<std::u16string> rutas) {
    if (rutas.empty()) {
        return Desenlace::Cancelado;
    }
    if (rutas.size() == 1) {
        return procesarArchivo(estado, puerto, std::move(rutas.front()));
    }
    return concluir(estado, puerto, [&] { return procesarVarios(estado, puerto, rutas); });
}

}  // namespace tralmix
