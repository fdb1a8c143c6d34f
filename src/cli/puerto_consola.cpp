#include "cli/puerto_consola.h"

#include "cli/plataforma.h"
#include "extract/proceso.h"
#include "util/entorno.h"
#include "util/texto.h"

namespace tralmix::cli {

PuertoConsola::PuertoConsola(Opciones opciones, std::FILE* errores, LineaProgreso& linea)
    : opciones_(std::move(opciones)), errores_(errores), linea_(linea) {}

void PuertoConsola::mensaje(std::u16string_view original, Estilo, std::u16string_view titulo) {
    // The copy of standard input is gone after the run: it is named for what it holds.
    std::u16string conNombre(original);
    for (std::size_t i = 0; !copia_.empty() && (i = conNombre.find(copia_, i)) != conNombre.npos;
         i += kEntradaEstandar.size()) {
        conNombre.replace(i, copia_.size(), kEntradaEstandar);
    }
    original = conNombre;
    const std::u16string_view texto = original;
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
    const auto& e = opciones_.entradas;
    return RespuestaDialogo{true, e.empty() ? std::u16string() : e.front(),
                            e.size() > 1 ? e : std::vector<std::u16string>()};
}

std::u16string PuertoConsola::abrirArchivo(const std::u16string& ruta) {
    listaAbierta_ = ruta;
    return opciones_.abrir ? entorno::abrir(ruta) : std::u16string();
}

void PuertoConsola::usarCopiaDeEntrada(const std::u16string& copia) {
    copia_ = copia;
    for (std::u16string& entrada : opciones_.entradas) {
        if (entrada.empty()) {
            entrada = copia;
        }
    }
}

void PuertoConsola::prepararEstado(Estado& estado) const {
    cargarEntorno(estado);
    if (opciones_.carpetaTemporal) {
        cargarCarpetaTemporal(estado, *opciones_.carpetaTemporal);
    }
    if (opciones_.carpetaResultado) {
        estado.carpetaResultado = *opciones_.carpetaResultado;
    }
    estado.fecha = opciones_.fecha;
    estado.porGrupo = opciones_.porGrupo.value_or(kPorGrupo);
    estado.separador = opciones_.separador.value_or(std::string(kSeparadorLista));
    estado.exclusiones = opciones_.exclusiones;
    estado.rutaInforme = opciones_.informe.value_or(std::u16string());
    estado.pedirInforme = opciones_.resumen;
    estado.depurar = opciones_.depurar;
}

void PuertoConsola::informe(const Informe& informe) {
    // --quiet keeps stderr to the run's messages, unless the summary was asked for by name.
    if (opciones_.progreso == MostrarProgreso::Nunca && !opciones_.resumen) {
        return;
    }
    std::string salida;
    for (const std::u16string& linea : lineasDelResumen(informe, u"--depurar")) {
        texto::agregarUtf8(salida, linea);
        salida += '\n';
    }
    linea_.borrar();
    escribir(errores_, salida);
}

void PuertoConsola::progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    linea_.actualizar(fase, hecho, total);
}

bool PuertoConsola::cancelado() const {
    return interrumpido();
}

}  // namespace tralmix::cli
