#include "extract/proceso.h"

#include "extract/comolista.h"
#include "extract/limpieza.h"
#include "extract/masivo.h"
#include "extract/resultado.h"
#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/texto.h"

namespace tralmix {
namespace {

constexpr std::u16string_view kFiltro = u"Txt Files (*.Txt) | *.txt|MSN Files  (*.ctt) | *.ctt";
// Hide the read-only box (4), the file must exist (4096), offer to create it (8192).
constexpr std::int32_t kBanderas = 4 | 4096 | 8192;
constexpr std::size_t kTamanoTrozo = 1 << 20;

bool contiene(std::u16string_view t, std::u16string_view s) {
    return t.find(s) != std::u16string_view::npos;
}

// Only warns: whatever it finds, the Open dialog follows.
void revisarRutaEscrita(Estado& estado, Puerto& puerto) {
    const std::u16string escrito = puerto.textoRuta();
    const std::u16string caja = texto::minusculas(escrito);
    puerto.ponerTextoRuta(caja);
    // File names are case-sensitive here: the file is looked for as typed, while the extension
    // is judged on the lower-cased text.
    if (existeArchivo(escrito)) {
        const std::u16string_view ext =
            caja.size() >= 4 ? std::u16string_view(caja).substr(caja.size() - 4) : caja;
        if (ext != u".ctt" && ext != u".txt") {
            puerto.mensaje(u"El archivo especificado no es valido...", Estilo::Exclamacion,
                           kTitulo);
        } else {
            estado.archivoEntrada = caja;
        }
    } else if (!texto::recortar(caja).empty()) {
        puerto.mensaje(u"El archivo especificado no existe...", Estilo::Exclamacion, kTitulo);
    }
}

Desenlace fallo(Puerto& puerto, std::u16string_view accion, std::u16string_view ruta,
                const archivos::Fallo& f) {
    puerto.mensaje(mensajeFallo(accion, ruta, f.motivo), Estilo::Critico, kTitulo);
    return Desenlace::FalloArchivo;
}

// Cleans every input line into the working file; returns the path actually written.
Desenlace escribirTrabajo(const Estado& estado, Puerto& puerto, std::u16string& rutaTrabajo) {
    std::string bytes;
    if (const auto f = archivos::leerTodo(estado.archivoEntrada, bytes)) {
        return fallo(puerto, u"No se pudo leer el archivo:", estado.archivoEntrada, f);
    }
    const std::u16string deseada = estado.carpetaTemporal + nombreArchivo(estado.archivoEntrada);
    archivos::ArchivoTrabajo trabajo;
    // Never the input itself, when it lies in the temporary folder under the same name.
    if (const auto f = trabajo.crear(deseada, archivos::identidad(estado.archivoEntrada))) {
        return fallo(puerto, u"No se pudo crear el archivo de trabajo:", deseada, f);
    }
    rutaTrabajo = trabajo.ruta();

    const std::u16string contenido = texto::decodificar(bytes);
    bytes.clear();
    bytes.shrink_to_fit();
    std::string salida;
    salida.reserve(kTamanoTrozo + 4096);
    for (const std::u16string_view linea : texto::lineasDeEntrada(contenido)) {
        const std::u16string_view recortada = texto::recortar(linea);
        if (recortada.empty()) {
            continue;
        }
        const std::u16string limpia = limpieza(std::u16string(recortada));
        if (limpia.empty() || contiene(limpia, u"www.")) {
            continue;
        }
        texto::agregarUtf8(salida, limpia);
        salida += "\r\n";
        if (salida.size() >= kTamanoTrozo) {
            trabajo.escribir(salida);
            salida.clear();
        }
    }
    trabajo.escribir(salida);
    if (const auto f = trabajo.cerrar()) {
        return fallo(puerto, u"No se pudo escribir el archivo de trabajo:", rutaTrabajo, f);
    }
    return Desenlace::Escrito;
}

}  // namespace

void cargarCarpetaTemporal(Estado& estado, const Puerto& puerto) {
    std::u16string carpeta = puerto.carpetaTemporal();
    if (const auto nul = carpeta.find(u'\0'); nul != std::u16string::npos) {
        carpeta.resize(nul);
    }
    if (carpeta.empty() || carpeta.back() != u'/') {
        carpeta += u'/';
    }
    estado.carpetaTemporal = std::move(carpeta);
}

Desenlace cmd_file01_Click(Estado& estado, Puerto& puerto) {
    revisarRutaEscrita(estado, puerto);

    AjustesDialogo ajustes;
    ajustes.initialDir = puerto.carpetaPrograma();
    ajustes.dialogTitle = u"Abrir";
    ajustes.filter = kFiltro;
    ajustes.filterIndex = 0;
    ajustes.flags = kBanderas;
    ajustes.hWndParent = puerto.ventana();
    ajustes.abrir = true;
    const RespuestaDialogo respuesta = puerto.mostrarDialogo(ajustes);
    if (!respuesta.elegido) {
        estado.archivoEntrada.clear();
        return Desenlace::Cancelado;
    }
    estado.archivoEntrada = respuesta.ruta;
    if (texto::recortar(estado.archivoEntrada).size() < 4) {
        puerto.mensaje(u"Nombre no es valido !", Estilo::Critico, u"   Operación cancelada");
        estado.archivoEntrada.clear();
        puerto.ponerTextoRuta(u"");
        return Desenlace::Rechazado;
    }
    puerto.ponerTextoRuta(estado.archivoEntrada);

    std::u16string rutaTrabajo;
    if (const Desenlace d = escribirTrabajo(estado, puerto, rutaTrabajo); d != Desenlace::Escrito) {
        return d;
    }
    if (const std::u16string error = cargarArchivo(estado.lineas, rutaTrabajo); !error.empty()) {
        puerto.mensaje(mensajeFallo(u"No se pudo leer el archivo de trabajo:", rutaTrabajo, error),
                       Estilo::Critico, kTitulo);
        return Desenlace::FalloArchivo;
    }
    const std::int64_t n = contarElementos(estado.lineas);
    if (n == 0) {
        puerto.mensaje(u"El archivo esta vacio!\r\nImposible continuar", Estilo::Exclamacion,
                       kTitulo);
        return Desenlace::Rechazado;
    }

    bool masivoHallado = false;
    for (std::int64_t i = 0; i < n && !masivoHallado; ++i) {
        const std::u16string& e = estado.lineas[static_cast<std::size_t>(i)];
        masivoHallado = contiene(e, u",") || contiene(e, u";");
    }
    return masivoHallado ? masivo(estado, puerto) : comolista(estado, puerto);
}

}  // namespace tralmix
