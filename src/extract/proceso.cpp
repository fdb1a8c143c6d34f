#include "extract/proceso.h"

#include <cerrno>
#include <functional>
#include <future>
#include <new>
#include <stdexcept>
#include <system_error>

#include "extract/comolista.h"
#include "extract/limpieza.h"
#include "extract/masivo.h"
#include "extract/resultado.h"
#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/paralelo.h"
#include "util/texto.h"

namespace tralmix {
namespace {

constexpr std::u16string_view kFiltro = u"Txt Files (*.Txt) | *.txt|MSN Files  (*.ctt) | *.ctt";
// Hide the read-only box (4), the file must exist (4096), offer to create it (8192).
constexpr std::int32_t kBanderas = 4 | 4096 | 8192;
constexpr std::size_t kTamanoTrozo = 1 << 20;
// Below this a second thread for the working file is not worth starting.
constexpr std::size_t kMinimoEnDosMitades = std::size_t{1} << 20;

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

// Cleans the input lines of one stretch of whole lines into working-file lines, handing each
// piece of about kTamanoTrozo bytes (whole lines) to entregar. alSeparar is told of each line that
// holds "," or ";" (at most once while it answers true). Returns the number of lines written.
template <typename Entregar, typename AlSeparar>
std::size_t limpiarTramo(std::string_view todo, Entregar&& entregar, AlSeparar&& alSeparar) {
    std::string salida;
    salida.reserve(kTamanoTrozo + 4096);
    std::size_t lineas = 0;
    bool avisado = false;
    const std::size_t n = todo.size();
    std::size_t inicio = 0;
    while (inicio < n) {
        // Input lines: CR, CR LF and a lone LF each end one; the last needs no line end.
        std::size_t fin = inicio;
        while (fin < n && todo[fin] != '\r' && todo[fin] != '\n') {
            ++fin;
        }
        const std::string_view linea = todo.substr(inicio, fin - inicio);
        inicio = fin < n && todo[fin] == '\r' && fin + 1 < n && todo[fin + 1] == '\n' ? fin + 2
                                                                                      : fin + 1;
        const auto primero = linea.find_first_not_of(' ');
        if (primero == std::string_view::npos) {
            continue;
        }
        const std::string_view recortada =
            linea.substr(primero, linea.find_last_not_of(' ') - primero + 1);
        const std::size_t antes = salida.size();
        const MarcasLimpieza marcas = agregarLimpiezaUtf8(salida, recortada);
        if (salida.size() == antes || marcas.www) {
            salida.resize(antes);
            continue;
        }
        if (!avisado && marcas.separador) {
            avisado = alSeparar();
        }
        salida += "\r\n";
        ++lineas;
        if (salida.size() >= kTamanoTrozo) {
            entregar(std::move(salida));
            salida = std::string();
            salida.reserve(kTamanoTrozo + 4096);
        }
    }
    if (!salida.empty()) {
        entregar(std::move(salida));
    }
    return lineas;
}

// Where a text of whole lines can be cut at or after desde: just after a line end, or 0.
std::size_t corteEntreLineas(std::string_view todo, std::size_t desde) {
    const std::size_t lf = todo.find('\n', desde);
    if (lf != std::string_view::npos) {
        return lf + 1;
    }
    // No LF after desde: a CR there ends a line by itself.
    const std::size_t cr = todo.find('\r', desde);
    return cr == std::string_view::npos ? 0 : cr + 1;
}

// Cleans every input line into the working file. The run keeps what it needs of the bytes: the
// input decoded to UTF-8 for the bulk path, and the working file's content for the list path
// until the first "," or ";" shows the text is a bulk message; alHallarMasivo is told then.
Desenlace escribirTrabajo(const Estado& estado, Puerto& puerto, std::string& texto,
                          TrabajoUtf8& trabajoLineas, bool& masivoHallado,
                          const std::function<void()>& alHallarMasivo) {
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
    const std::u16string rutaTrabajo = trabajo.ruta();

    texto = texto::decodificarUtf8(std::move(bytes));
    masivoHallado = false;
    trabajoLineas = {};
    const std::string_view todo(texto);
    auto guardar = [&](std::string&& trozo) {
        trabajo.escribir(trozo);
        if (!masivoHallado) {
            trabajoLineas.trozos.push_back(std::move(trozo));
        }
    };
    // Cleaning neither makes nor removes "," and ";": a text without any is a plain list for
    // sure, and its two halves are cleaned at once, the second half's pieces written after the
    // first's.
    const std::size_t mitad = todo.size() >= kMinimoEnDosMitades &&
                                      todo.find(',') == std::string_view::npos &&
                                      todo.find(';') == std::string_view::npos
                                  ? corteEntreLineas(todo, todo.size() / 2)
                                  : 0;
    if (mitad > 0) {
        std::vector<std::string> segunda;
        std::size_t lineasSegunda = 0;
        auto nunca = [] { return true; };
        aLaVez([&] { trabajoLineas.lineas = limpiarTramo(todo.substr(0, mitad), guardar, nunca); },
               [&] {
                   lineasSegunda = limpiarTramo(
                       todo.substr(mitad),
                       [&](std::string&& trozo) { segunda.push_back(std::move(trozo)); }, nunca);
               });
        for (std::string& trozo : segunda) {
            guardar(std::move(trozo));
        }
        trabajoLineas.lineas += lineasSegunda;
    } else {
        trabajoLineas.lineas = limpiarTramo(todo, guardar, [&] {
            masivoHallado = true;
            trabajoLineas.trozos.clear();
            trabajoLineas.trozos.shrink_to_fit();
            alHallarMasivo();
            return true;
        });
    }
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

namespace {

Desenlace procesarElegido(Estado& estado, Puerto& puerto, std::u16string ruta);

Desenlace elegirYProcesar(Estado& estado, Puerto& puerto) {
    revisarRutaEscrita(estado, puerto);

    AjustesDialogo ajustes;
    ajustes.initialDir = puerto.carpetaPrograma();
    ajustes.dialogTitle = u"Abrir";
    ajustes.filter = kFiltro;
    ajustes.filterIndex = 0;
    ajustes.flags = kBanderas;
    ajustes.hWndParent = puerto.ventana();
    ajustes.abrir = true;
    RespuestaDialogo respuesta = puerto.mostrarDialogo(ajustes);
    if (!respuesta.elegido) {
        estado.archivoEntrada.clear();
        return Desenlace::Cancelado;
    }
    return procesarElegido(estado, puerto, std::move(respuesta.ruta));
}

Desenlace procesarElegido(Estado& estado, Puerto& puerto, std::u16string ruta) {
    estado.archivoEntrada = std::move(ruta);
    if (texto::recortar(estado.archivoEntrada).size() < 4) {
        puerto.mensaje(u"Nombre no es valido !", Estilo::Critico, u"   Operación cancelada");
        estado.archivoEntrada.clear();
        puerto.ponerTextoRuta(u"");
        return Desenlace::Rechazado;
    }
    puerto.ponerTextoRuta(estado.archivoEntrada);

    // The working file is written as always; what it holds is split from the bytes just written
    // rather than read back, and the bulk path gets the input already read.
    std::string texto;
    TrabajoUtf8 trabajo;
    bool masivoHallado = false;
    // Once a line shows that the text is a bulk message, a second thread takes the words of the
    // text from a line end about a third in, while this one goes on writing the working file and
    // then takes the words before that; both only read the text.
    std::future<PalabrasUtf8> palabras;
    std::size_t corte = 0;
    auto alHallarMasivo = [&] {
        corte = corteEntreLineas(texto, texto.size() / 3);
        try {
            palabras = std::async(std::launch::async, [&texto, corte] {
                PalabrasUtf8 p;
                direccionesUtf8(std::string_view(texto).substr(corte), p);
                return p;
            });
        } catch (const std::system_error&) {
            // No second thread to be had: the words are taken afterwards.
        }
    };
    if (const Desenlace d =
            escribirTrabajo(estado, puerto, texto, trabajo, masivoHallado, alHallarMasivo);
        d != Desenlace::Escrito) {
        return d;
    }
    if (trabajo.lineas == 0) {
        estado.lineas.clear();  // a working file of length 0 gives no elements
        puerto.mensaje(u"El archivo esta vacio!\r\nImposible continuar", Estilo::Exclamacion,
                       kTitulo);
        return Desenlace::Rechazado;
    }
    if (masivoHallado && palabras.valid()) {
        PalabrasUtf8 halladas;
        direccionesUtf8(std::string_view(texto).substr(0, corte), halladas);
        halladas.anexar(palabras.get());
        std::string().swap(texto);
        return masivoDesdePalabras(estado, puerto, halladas);
    }
    if (masivoHallado) {
        return masivoDesdeTexto(estado, puerto, std::move(texto));
    }
    std::string().swap(texto);  // the list path needs only the working file's lines
    return comolistaDesdeTrabajo(estado, puerto, std::move(trabajo));
}

template <typename Paso>
Desenlace conMemoria(Estado& estado, Puerto& puerto, Paso&& paso) {
    // A file too large for this machine's memory (or for a text conversion) ends the run with a
    // message like any other file failure instead of ending the program; the unconfirmed result
    // file is removed on the way out, so an earlier list stays.
    std::u16string motivo;
    try {
        return paso();
    } catch (const std::bad_alloc&) {
        motivo = archivos::motivo(ENOMEM);
    } catch (const std::length_error&) {
        motivo = u"el archivo es demasiado grande";
    }
    estado.lineas.clear();
    estado.lineas.shrink_to_fit();
    estado.copiaLineas.clear();
    estado.copiaLineas.shrink_to_fit();
    puerto.mensaje(mensajeFallo(kNoSeProceso, estado.archivoEntrada, motivo), Estilo::Critico,
                   kTitulo);
    return Desenlace::FalloArchivo;
}

}  // namespace

Desenlace cmd_file01_Click(Estado& estado, Puerto& puerto) {
    return conMemoria(estado, puerto, [&] { return elegirYProcesar(estado, puerto); });
}

Desenlace procesarArchivo(Estado& estado, Puerto& puerto, std::u16string ruta) {
    return conMemoria(estado, puerto,
                      [&] { return procesarElegido(estado, puerto, std::move(ruta)); });
}

}  // namespace tralmix
