#include "cli/puerto_consola.h"

#include "cli/plataforma.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix::cli {

PuertoConsola::PuertoConsola(Opciones opciones, std::FILE* errores, LineaProgreso& linea)
    : opciones_(std::move(opciones)), errores_(errores), linea_(linea) {}

void PuertoConsola::mensaje(std::u16string_view texto, Estilo, std::u16string_view titulo) {
    // A message box becomes "TITLE: TEXT", its CR LF line breaks printed as line breaks.
    std::string salida = texto::aUtf8(titulo) + ": ";
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == u'\r' && i + 1 < texto.size() && texto[i + 1] == u'\n') {
            continue;
        }
        texto::agregarUtf8(salida, texto.substr(i, 1));
    }
    salida += '\n';
    linea_.borrar();
    escribir(errores_, salida);
}

RespuestaDialogo PuertoConsola::mostrarDialogo(const AjustesDialogo&) {
    return RespuestaDialogo{true, opciones_.entrada};
}

std::u16string PuertoConsola::carpetaPrograma() const {
    return carpetaDelPrograma();
}

void PuertoConsola::abrirArchivo(const std::u16string& ruta) {
    listaAbierta_ = ruta;
    if (opciones_.abrir) {
        archivos::abrirConEscritorio(ruta);
    }
}

Fecha PuertoConsola::hoy() const {
    return opciones_.fecha ? *opciones_.fecha : fechaLocal();
}

std::u16string PuertoConsola::carpetaResultado() const {
    return opciones_.carpetaResultado ? *opciones_.carpetaResultado : carpetaPersonal();
}

std::u16string PuertoConsola::carpetaTemporal() const {
    return opciones_.carpetaTemporal ? *opciones_.carpetaTemporal : carpetaTemporalSistema();
}

void PuertoConsola::progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    linea_.actualizar(fase, hecho, total);
}

bool PuertoConsola::cancelado() const {
    return interrumpido();
}

}  // namespace tralmix::cli
