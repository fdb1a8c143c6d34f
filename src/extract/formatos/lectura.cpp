// The run on a contacts or mail file: the file read a piece at a time by its format's reader,
// then the addresses sorted and written as a list.

#include "extract/entrada.h"
#include "extract/formatos/formatos.h"
#include "extract/resultado.h"
#include "util/afinado.h"
#include "util/ascii.h"

namespace tralmix::formatos {
namespace {

// The Windows-1252 reading of a UTF-8 byte-order mark: a file that begins with one and then
// turns out not to be UTF-8 is read again as 1252, its mark no part of its text.
constexpr std::string_view kMarcaComo1252 = "\xC3\xAF\xC2\xBB\xC2\xBF";

std::unique_ptr<Lector> lectorPara(std::u16string_view ruta, Formato formato,
                                   Direcciones& direcciones) {
    // A .tsv is tab-separated unless its first line says otherwise.
    if (formato == Formato::Csv && texto::terminaSinMayusculas(ruta, u".tsv")) {
        return crearLectorCsv(direcciones, '\t');
    }
    return crearLector(formato, direcciones);
}

// Mail headers hold ASCII addresses whatever the bodies are written in; only contact files are
// judged by their code page.
bool juzgarCodificacion(Formato formato) {
    return formato == Formato::Vcard || formato == Formato::Csv || formato == Formato::Ldif;
}

void alLector(Lector& lector, std::string_view pieza) {
    paraCadaLinea(pieza, [&](std::string_view l) { lector.linea(l); });
}

// A text held whole, given to the reader a piece of whole lines at a time, as a file's are, with
// avance asked after each; false when it asked to stop.
bool leerEnPiezas(std::string_view t, Lector& lector, Avance* avance) {
    std::size_t inicio = 0;
    while (inicio < t.size()) {
        // Just after a line end, never between the CR and the LF of one.
        std::size_t corte = t.find_first_of("\r\n", std::min(t.size(), inicio + afinado::kTrozo));
        if (corte == std::string_view::npos) {
            corte = t.size();
        } else {
            corte += t[corte] == '\r' && corte + 1 < t.size() && t[corte + 1] == '\n' ? 2u : 1u;
        }
        alLector(lector, t.substr(inicio, corte - inicio));
        inicio = corte;
        if (avance != nullptr && !avance->seguir(inicio, t.size())) {
            return false;
        }
    }
    return true;
}

}  // namespace

Lectura leerDirecciones(std::u16string_view ruta, Formato formato, Arreglo& direcciones,
                        Avance* avance) {
    Lectura lectura;
    Direcciones destino(direcciones);
    std::unique_ptr<Lector> lector = lectorPara(ruta, formato, destino);
    if (!lector) {
        return lectura;
    }
    {
        // A look at the first bytes for UTF-16 without its mark, which is decoded whole: such
        // files are small contact exports.
        archivos::Lector crudo;
        if (auto fallo = crudo.abrir(ruta)) {
            lectura.fallo = fallo;
            return lectura;
        }
        lectura.huella = crudo.huella();
        std::string inicio(512, '\0');
        std::size_t n = 0;
        if (auto fallo = crudo.leer(inicio.data(), inicio.size(), n)) {
            lectura.fallo = fallo;
            return lectura;
        }
        inicio.resize(n);
        if (texto::marcaDeOrden(inicio) == texto::Marca::Ninguna) {
            if (const texto::Marca marca = utf16SinMarca(inicio); marca != texto::Marca::Ninguna) {
                std::string bytes = marca == texto::Marca::Utf16BE ? "\xFE\xFF" : "\xFF\xFE";
                inicio.clear();
                if (auto fallo = crudo.irA(0)) {
                    lectura.fallo = fallo;
                    return lectura;
                }
                if (auto fallo = archivos::leerResto(crudo, inicio)) {
                    lectura.fallo = fallo;
                    return lectura;
                }
                bytes += inicio;
                lectura.interrumpido =
                    !leerEnPiezas(texto::decodificarUtf8(std::move(bytes)), *lector, avance);
                if (!lectura.interrumpido) {
                    lector->fin();
                }
                return lectura;
            }
        }
    }
    LectorTexto entrada;
    if (auto fallo = entrada.abrir(ruta)) {
        lectura.fallo = fallo;
        return lectura;
    }
    // A file changed between the two openings is read as it now is, and told by its huella.
    lectura.huella = entrada.huella();
    VigiaCodificacion vigia;
    bool legado = false;
    bool primera = false;  // the first piece of the second reading is next
    lectura.fallo = leerPiezas(
        entrada,
        [&](std::string_view pieza) {
            if (legado) {
                if (primera && pieza.starts_with(kMarcaComo1252)) {
                    pieza.remove_prefix(kMarcaComo1252.size());
                }
                primera = false;
                vigia.mirar(pieza);
            }
            alLector(*lector, pieza);
            lectura.interrumpido =
                avance != nullptr && !avance->seguir(entrada.leidos(), entrada.tamano());
            return !lectura.interrumpido;
        },
        [&] {
            // Not UTF-8 after all: read again from the start, decoded as Windows-1252.
            direcciones.clear();
            lector = lectorPara(ruta, formato, destino);
            legado = primera = true;
            return true;
        });
    if (lectura.fallo || lectura.interrumpido) {
        return lectura;
    }
    lector->fin();
    if (legado && juzgarCodificacion(formato) && vigia.ajena()) {
        direcciones.clear();
        lectura.ajena = true;
    }
    return lectura;
}

Desenlace procesarFormato(Estado& estado, Puerto& puerto, Formato formato) {
    estado.lineas.clear();
    AvanceDelPuerto avance(puerto, Fase::Extraccion);
    const Lectura lectura = leerDirecciones(estado.archivoEntrada, formato, estado.lineas, &avance);
    if (lectura.fallo) {
        estado.lineas.clear();
        puerto.mensaje(mensajeFallo(kNoSeLeyo, estado.archivoEntrada, lectura.fallo.motivo),
                       Estilo::Critico, kTitulo);
        return Desenlace::FalloArchivo;
    }
    if (lectura.interrumpido) {
        return Desenlace::Interrumpido;
    }
    if (lectura.ajena) {
        puerto.mensaje(mensajeFallo(kNoSeLeyo, estado.archivoEntrada, kOtraCodificacion),
                       Estilo::Exclamacion, kTitulo);
        return Desenlace::Rechazado;
    }
    // The list is written only if the file is still as it was read.
    estado.huellaEntrada = lectura.huella;
    // Like pasted messages: every address once.
    return ordenarYEscribir(estado, puerto, Camino::Masivo);
}

}  // namespace tralmix::formatos
