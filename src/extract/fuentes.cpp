#include "extract/fuentes.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "extract/entrada.h"
#include "extract/formatos/formatos.h"
#include "extract/palabras.h"
#include "extract/proceso.h"
#include "extract/recuento.h"
#include "util/archivos.h"
#include "util/ascii.h"
#include "util/cadenas.h"
#include "util/texto.h"

namespace tralmix {
namespace {

bool conLector(formatos::Formato formato) {
    return formato != formatos::Formato::Texto && formato != formatos::Formato::Ninguno;
}

// Appends one input's entries to the run's: trimmed and lower-cased when they came by the list
// path, which keeps both (in place: a longer lower-case form, rare, goes at the end); the other
// paths give lower-cased words already. Gives how many entries the input gave: on the list path
// those not blank once trimmed, on the others those not empty. prestado: lineas holds the block
// todas lent it.
std::uint64_t agregarEntradas(Arreglo& todas, Arreglo&& lineas, bool deLista, bool prestado) {
    auto unir = [&] {
        if (prestado) {
            todas.recobrar(std::move(lineas));
        } else {
            todas.anexar(std::move(lineas));
        }
    };
    if (!deLista) {
        const std::uint64_t n = contarNoVacios(lineas);
        unir();
        return n;
    }
    std::uint64_t n = 0;
    std::string minusculas;
    Arreglo largas;
    paraCadaEntrada(lineas, [&](std::size_t i, std::string_view tal, std::string_view t) {
        ++n;
        const texto::RasgosAscii rasgos = texto::rasgosAscii(t);
        if (!rasgos.noAscii && !rasgos.mayusculas) {
            if (t.size() != tal.size()) {
                lineas.acortar(i, t);
            }
            return;
        }
        minusculas.clear();
        texto::agregarMinusculasUtf8(minusculas, t);
        if (minusculas.size() <= tal.size()) {
            lineas.acortar(i, minusculas);
        } else {
            lineas.vaciar(i);
            largas.agregar(minusculas);
        }
    });
    unir();
    todas.anexar(std::move(largas));
    return n;
}

// Whether the pasted-messages path could cut another address out of the line than its words
// give: only the rows of its table that glue onto a word do (header words ending in ":",
// ".htm", "add" and "sender to contacts", rules of dots or dashes); the others cut where a word
// ends anyway.
bool otraLectura(std::string_view linea) {
    auto es = [&](std::size_t i, std::string_view minusculas) {
        if (linea.size() - i < minusculas.size()) {
            return false;
        }
        for (std::size_t k = 0; k < minusculas.size(); ++k) {
            const char c = linea[i + k];
            if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != minusculas[k]) {
                return false;
            }
        }
        return true;
    };
    for (std::size_t i = 0; i < linea.size(); ++i) {
        switch (linea[i]) {
            case ':':
                return true;
            case '.':
                if (es(i, "..") || es(i, ".htm")) {
                    return true;
                }
                break;
            case '-':
                if (es(i, "--")) {
                    return true;
                }
                break;
            case 'a':
            case 'A':
                if (es(i, "add")) {
                    return true;
                }
                break;
            case 's':
            case 'S':
                if (es(i, "sender")) {
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return false;
}

// Whether two paths name one file, also when neither exists yet.
bool mismoDestino(std::u16string_view a, std::u16string_view b) {
    const archivos::Identidad ia = archivos::identidad(a);
    const archivos::Identidad ib = archivos::identidad(b);
    if (ia.valida && ib.valida) {
        return ia.mismoArchivo(ib);
    }
    if (ia.valida != ib.valida) {
        return false;
    }
    std::error_code ea;
    std::error_code eb;
    const auto ca = std::filesystem::weakly_canonical(archivos::aRuta(a), ea);
    const auto cb = std::filesystem::weakly_canonical(archivos::aRuta(b), eb);
    if (ea || eb) {
        return a == b;
    }
    if constexpr (kNombresSinMayusculas) {
        return texto::minusculas(archivos::desdeRuta(ca)) ==
               texto::minusculas(archivos::desdeRuta(cb));
    }
    return ca == cb;
}

// The working files of a run on several inputs: each stays, as after a run on it alone, unless
// the run is stopped or fails; then none does (the runner removes the last one).
class TrabajosDeLaCorrida {
  public:
    explicit TrabajosDeLaCorrida(const Estado& estado) : estado_(estado) {}
    ~TrabajosDeLaCorrida() {
        if (conservar_) {
            return;
        }
        for (const std::u16string& ruta : rutas_) {
            if (ruta != estado_.archivoTrabajo) {
                std::error_code error;
                std::filesystem::remove(archivos::aRuta(ruta), error);
            }
        }
    }
    TrabajosDeLaCorrida(const TrabajosDeLaCorrida&) = delete;
    TrabajosDeLaCorrida& operator=(const TrabajosDeLaCorrida&) = delete;

    void agregar(const std::u16string& ruta) {
        if (!ruta.empty()) {
            rutas_.push_back(ruta);
        }
    }
    Desenlace fin(Desenlace desenlace) {
        conservar_ = desenlace != Desenlace::Interrumpido && desenlace != Desenlace::FalloArchivo;
        return desenlace;
    }

  private:
    const Estado& estado_;
    std::vector<std::u16string> rutas_;
    bool conservar_ = false;
};

}  // namespace

bool esLaLista(const Estado& estado, Puerto& puerto, std::u16string_view ruta) {
    const std::u16string lista = rutaResultado(estado);
    const archivos::Identidad deLista = archivos::identidad(lista);
    if (deLista.valida && deLista.mismoArchivo(archivos::identidad(ruta))) {
        puerto.mensaje(std::u16string(kEsLaLista) + u"\r\n" + lista, Estilo::Exclamacion, kTitulo);
        return true;
    }
    return false;
}

LecturaExclusion leerExclusion(std::u16string_view ruta, Exclusion& excluir, Avance* avance) {
    LecturaExclusion l;
    Exclusion propia;
    const formatos::Eleccion eleccion = formatos::elegir(ruta);
    if (eleccion.binario != formatos::Binario::No) {
        l.binario = eleccion.binario;
        return l;
    }
    const formatos::Formato formato = eleccion.formato;
    if (conLector(formato)) {
        Arreglo direcciones;
        const formatos::Lectura lectura =
            formatos::leerDirecciones(ruta, formato, direcciones, avance);
        l.fallo = lectura.fallo;
        l.interrumpido = lectura.interrumpido;
        l.ajena = lectura.ajena;
        l.huella = lectura.huella;
        for (std::size_t i = 0; i < direcciones.size(); ++i) {
            propia.agregarDirecciones(direcciones[i]);
        }
        l.nombradas = propia.tamano();
        excluir.unir(std::move(propia));
        return l;
    }
    LectorTexto entrada;
    if (auto fallo = entrada.abrir(ruta)) {
        l.fallo = fallo;
        return l;
    }
    l.huella = entrada.huella();
    // A list of people to leave out holds an address in about every 32 bytes.
    propia.reservar(static_cast<std::size_t>(entrada.tamano() / 32));
    Arreglo palabras;
    for (;;) {
        LectorTexto::Paso paso = LectorTexto::Paso::Fin;
        std::string_view pieza;
        if (auto fallo = entrada.siguiente(paso, pieza)) {
            l.fallo = fallo;
            return l;
        }
        if (paso == LectorTexto::Paso::Fin) {
            break;
        }
        if (paso == LectorTexto::Paso::DeNuevo) {
            propia = Exclusion();
            l.nombradas = 0;
            l.mensajes = false;
            continue;
        }
        paraCadaLinea(pieza, [&](std::string_view linea) {
            l.nombradas += propia.agregarLinea(linea);
            // And what the pasted-messages path takes from it (an address glued to a header
            // word, a rule or "Add sender to contacts"), not counted: it names the same people.
            if (otraLectura(linea)) {
                palabras.clear();
                extraerDirecciones(linea, palabras);
                for (std::size_t i = 0; i < palabras.size(); ++i) {
                    propia.agregarDirecciones(palabras[i]);
                }
            }
            l.mensajes = l.mensajes || (linea.find_first_of(",;") != std::string_view::npos &&
                                        linea.find("www.") == std::string_view::npos);
        });
        if (avance != nullptr && !avance->seguir(entrada.leidos(), entrada.tamano())) {
            l.interrumpido = true;
            return l;
        }
    }
    excluir.unir(std::move(propia));
    return l;
}

std::optional<Desenlace> empezarRecuento(Estado& estado, Puerto& puerto,
                                         const std::vector<std::u16string>& entradas, bool varias) {
    estado.recuento.reset();
    if (!varias && estado.exclusiones.empty() && !estado.pedirInforme && !estado.depurar &&
        estado.rutaInforme.empty()) {
        return std::nullopt;
    }
    Recuento& recuento = estado.recuento.emplace();
    recuento.varias = varias;
    // The report replaces its file: never one the run reads, nor the list.
    if (!estado.rutaInforme.empty()) {
        std::u16string_view motivo;
        if (mismoDestino(estado.rutaInforme, rutaResultado(estado))) {
            motivo = kInformeSobreLista;
        }
        for (const std::vector<std::u16string>* grupo :
             {&entradas, &std::as_const(estado.exclusiones)}) {
            for (const std::u16string& ruta : *grupo) {
                if (motivo.empty() && mismoDestino(estado.rutaInforme, ruta)) {
                    motivo = kInformeSobreLeido;
                }
            }
        }
        if (!motivo.empty()) {
            informarFallo(puerto, kNoSeCreo, estado.rutaInforme, motivo);
            return Desenlace::FalloArchivo;
        }
    }
    // Read before any input: a missing list of people to leave out costs no reading, and never
    // lets a list through without them.
    for (const std::u16string& ruta : estado.exclusiones) {
        if (esLaLista(estado, puerto, ruta)) {
            return Desenlace::Rechazado;
        }
        AvanceDelPuerto avance(puerto, Fase::Extraccion);
        const LecturaExclusion lectura = leerExclusion(ruta, recuento.excluir, &avance);
        if (lectura.fallo) {
            informarFallo(puerto, kNoSeLeyo, ruta, lectura.fallo.motivo);
            return Desenlace::FalloArchivo;
        }
        if (lectura.interrumpido) {
            return Desenlace::Interrumpido;
        }
        if (lectura.ajena || lectura.binario != formatos::Binario::No) {
            informarFallo(
                puerto, kNoSeLeyo, ruta,
                lectura.ajena ? kOtraCodificacion : formatos::motivoBinario(lectura.binario),
                Estilo::Exclamacion);
            return Desenlace::FalloArchivo;
        }
        recuento.informe.exclusiones.push_back(
            {ruta, formatoDeInforme(ruta, lectura.mensajes), lectura.nombradas});
        recuento.leidas.push_back({ruta, lectura.huella});
    }
    return std::nullopt;
}

Desenlace procesarVarios(Estado& estado, Puerto& puerto, const std::vector<std::u16string>& rutas) {
    for (const std::u16string& ruta : rutas) {
        if (texto::recortar(ruta).size() < 4) {
            puerto.mensaje(kNombreNoValido, Estilo::Critico, kTituloCancelada);
            estado.archivoEntrada.clear();
            puerto.ponerTextoRuta(u"");
            return Desenlace::Rechazado;
        }
    }
    if (const auto fin = empezarRecuento(estado, puerto, rutas, true)) {
        return *fin;
    }
    Recuento& recuento = *estado.recuento;
    TrabajosDeLaCorrida trabajos(estado);
    Arreglo todas;
    for (const std::u16string& ruta : rutas) {
        estado.archivoEntrada = ruta;
        puerto.ponerTextoRuta(ruta);
        if (esLaLista(estado, puerto, ruta)) {
            return trabajos.fin(Desenlace::Rechazado);
        }
        // As on a run on it alone: a sheet or a program refused for what it seems to be, a file
        // without an extension read as what its content shows.
        const formatos::Eleccion eleccion = formatos::elegir(ruta);
        if (eleccion.binario != formatos::Binario::No) {
            informarFallo(puerto, kNoSeLeyo, ruta, formatos::motivoBinario(eleccion.binario),
                          Estilo::Exclamacion);
            return trabajos.fin(Desenlace::Rechazado);
        }
        const formatos::Formato formato = eleccion.formato;
        bool deLista = false;
        bool mensajes = false;
        const bool prestado = !conLector(formato);
        if (!prestado) {
            estado.lineas.clear();
            AvanceDelPuerto avance(puerto, Fase::Extraccion);
            const formatos::Lectura lectura =
                formatos::leerDirecciones(ruta, formato, estado.lineas, &avance);
            if (lectura.fallo) {
                informarFallo(puerto, kNoSeLeyo, ruta, lectura.fallo.motivo);
                return trabajos.fin(Desenlace::FalloArchivo);
            }
            if (lectura.interrumpido) {
                return trabajos.fin(Desenlace::Interrumpido);
            }
            if (lectura.ajena) {
                informarFallo(puerto, kNoSeLeyo, ruta, kOtraCodificacion, Estilo::Exclamacion);
                return trabajos.fin(Desenlace::Rechazado);
            }
            estado.huellaEntrada = lectura.huella;
        } else {
            // The lines go on in the block of those read before, none copied.
            estado.lineas = todas.prestarBloque();
            archivos::ArchivoTrabajo archivo;
            LecturaAnticipada anticipada;
            const EntradaLeida leida = leerTexto(estado, puerto, archivo, anticipada);
            trabajos.agregar(estado.archivoTrabajo);
            if (leida.fin) {
                return trabajos.fin(informar(puerto, *leida.fin));
            }
            deLista = !leida.vacia && leida.camino == Camino::Lista;
            mensajes = !leida.vacia && leida.camino == Camino::Masivo;
        }
        // The clean-up leaves only addresses, counted as the input's entries were before it.
        std::uint64_t n = 0;
        if (estado.depurar) {
            if (auto fallo = depurarEntrada(estado, puerto, recuento.informe, deLista, n)) {
                return trabajos.fin(informar(puerto, std::move(fallo)));
            }
            agregarEntradas(todas, std::move(estado.lineas), false, prestado);
        } else {
            n = agregarEntradas(todas, std::move(estado.lineas), deLista, prestado);
        }
        estado.lineas.clear();
        recuento.informe.archivos.push_back(
            {enInforme(estado, ruta), formatoDeInforme(ruta, mensajes), n});
        recuento.leidas.push_back({ruta, estado.huellaEntrada});
        if (puerto.cancelado()) {
            return trabajos.fin(Desenlace::Interrumpido);
        }
    }
    estado.lineas = std::move(todas);
    return trabajos.fin(escribirConRecuento(estado, puerto, Camino::Masivo));
}

}  // namespace tralmix
