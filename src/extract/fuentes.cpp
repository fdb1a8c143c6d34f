#include "extract/fuentes.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "extract/avisos.h"
#include "extract/cubo.h"
#include "extract/depuracion.h"
#include "extract/entrada.h"
#include "extract/formatos/formatos.h"
#include "extract/limpieza.h"
#include "extract/palabras.h"
#include "extract/proceso.h"
#include "extract/repetidos.h"
#include "util/afinado.h"
#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/memoria.h"
#include "util/texto.h"

namespace tralmix {
namespace {

bool conLector(formatos::Formato formato) {
    return formato != formatos::Formato::Texto && formato != formatos::Formato::Ninguno;
}

// The elements the list would write: those not blank once trimmed.
std::uint64_t contarDirecciones(Arreglo& lineas) {
    std::uint64_t n = 0;
    for (const std::uint32_t lugar : lineas.lugares()) {
        n += lugar != 0 && !texto::recortar(lineas.textoEn(lugar)).empty() ? 1U : 0U;
    }
    return n;
}

std::uint64_t contarNoVacios(Arreglo& lineas) {
    const auto lugares = lineas.lugares();
    return static_cast<std::uint64_t>(
        lugares.size() - static_cast<std::size_t>(std::count(lugares.begin(), lugares.end(), 0U)));
}

// Whether lower-casing may change t: a capital, or a character beyond ASCII. Every entry of
// every input passes here, so it is written to be done many bytes at a time.
bool cambiable(std::string_view t) {
    bool c = false;
    for (const char b : t) {
        const auto u = static_cast<unsigned char>(b);
        c |= (u >= 0x80) | (static_cast<unsigned char>(u - 'A') < 26);
    }
    return c;
}

// Appends one input's entries to the run's: trimmed and lower-cased when they came by the list
// path, which keeps both (in place: a longer lower-case form, rare, goes at the end); the other
// paths give lower-cased words already.
void agregarEntradas(Arreglo& todas, Arreglo&& lineas, bool deLista) {
    if (!deLista) {
        todas.anexar(std::move(lineas));
        return;
    }
    std::string minusculas;
    Arreglo largas;
    const auto lugares = lineas.lugares();
    for (std::size_t i = 0; i < lugares.size(); ++i) {
        if (lugares[i] == 0) {
            continue;
        }
        const std::string_view tal = lineas.textoEn(lugares[i]);
        const std::string_view t = texto::recortar(tal);
        if (t.empty()) {
            lineas.vaciar(i);
            continue;
        }
        if (!cambiable(t)) {
            if (t.size() != tal.size()) {
                lineas.acortar(i, t);
            }
            continue;
        }
        minusculas.clear();
        texto::agregarMinusculasUtf8(minusculas, t);
        if (minusculas.size() <= tal.size()) {
            lineas.acortar(i, minusculas);
        } else {
            lineas.vaciar(i);
            largas.agregar(minusculas);
        }
    }
    todas.anexar(std::move(lineas));
    todas.anexar(std::move(largas));
}

// Whether the pasted-messages path could cut another address out of the line than its words
// give: only the rows of its table that glue onto a word do (header words ending in ":", ".htm",
// "add" and "sender to contacts", rules of dots or dashes); the others cut where a word ends
// anyway.
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

// The cleaning blanks or deletes characters an address may hold ("+", "'", "/", "=", "!"…), so on
// the list path the words of an entry can be another person's address ("usuario etiqueta@…"
// came from "usuario+etiqueta@…"). The clean-up reduces such an entry from the input's own
// lines that the cleaning turned into it instead: the input is read again for them.
class LineasOriginales {
  public:
    // The entries of lineas that are not one address as they stand and hold a space, which may
    // stand for what the cleaning took away; false when there is none.
    bool buscar(Arreglo& lineas) {
        Depurador depurador;
        for (const std::uint32_t lugar : lineas.lugares()) {
            const std::string_view t = texto::recortar(lineas.textoEn(lugar));
            if (lugar != 0 && t.find(' ') != std::string_view::npos && !depurador.talCual(t)) {
                halladas_.try_emplace(std::string(t));
            }
        }
        return !halladas_.empty();
    }

    // Reads the input's lines, cleaned as the working file's were, for the entries looked for.
    Fallo leer(std::u16string_view ruta, Avance& avance) {
        LectorTexto entrada;
        if (auto fallo = entrada.abrir(ruta)) {
            return std::move(fallo).en(kNoSeReleyo, ruta);
        }
        Depurador depurador;
        std::string limpia;
        std::string clave;
        bool seguir = true;
        auto fallo = leerPiezas(
            entrada,
            [&](std::string_view pieza) {
                paraCadaLinea(pieza, [&](std::string_view linea) {
                    const std::string_view t = texto::recortar(linea);
                    // The cleaning adds no "@", and every entry looked for holds one.
                    if (t.find('@') == std::string_view::npos) {
                        return;
                    }
                    limpia.clear();
                    limpieza(t, limpia);
                    clave.assign(texto::recortar(limpia));
                    const auto donde = halladas_.find(clave);
                    if (donde == halladas_.end()) {
                        return;
                    }
                    Hallada& h = donde->second;
                    h.hallada = true;
                    depurador.depurar(t);
                    for (const std::string_view d : depurador.direcciones()) {
                        h.direcciones += ' ';
                        h.direcciones += d;
                    }
                });
                seguir = avance.seguir(entrada.leidos(), entrada.tamano());
                return seguir;
            },
            [&] {
                for (auto& par : halladas_) {
                    par.second = Hallada();
                }
                return true;
            });
        if (fallo) {
            return std::move(fallo).en(kNoSeReleyo, ruta);
        }
        return seguir ? Fallo() : Fallo::interrupcion();
    }

    // The addresses of the input's lines an entry came from, " " before each; nothing when the
    // entry was not found (the list path shortened it) or not looked for.
    std::optional<std::string_view> texto(std::string_view entrada) {
        clave_.assign(entrada);
        const auto donde = halladas_.find(clave_);
        if (donde == halladas_.end() || !donde->second.hallada) {
            return std::nullopt;
        }
        return donde->second.direcciones;
    }

  private:
    struct Hallada {
        bool hallada = false;
        std::string direcciones;
    };
    std::unordered_map<std::string, Hallada> halladas_;
    std::string clave_;
};

// The clean-up of one input's entries in estado.lineas, counted in the report.
Fallo depurarEntrada(Estado& estado, Puerto& puerto, Informe& informe, bool deLista) {
    ListaDepurada hecha;
    LineasOriginales originales;
    if (deLista && originales.buscar(estado.lineas)) {
        AvanceDelPuerto avance(puerto, Fase::Extraccion);
        if (auto fallo = originales.leer(estado.archivoEntrada, avance)) {
            return fallo;
        }
        hecha = depurarLista(estado.lineas,
                             [&](std::string_view entrada) { return originales.texto(entrada); });
    } else {
        hecha = depurarLista(estado.lineas);
    }
    informe.descartadas += hecha.descartadas;
    informe.corregidas += hecha.corregidas;
    return {};
}

// The warnings on the listed addresses, each address once whatever its case, and without the
// clean-up the entries it would mend. An entry that is no address gets no warning: the nudge
// to the clean-up covers it.
void revisarListadas(Arreglo& lineas, Informe& informe) {
    Depurador depurador;
    Avisador avisador;
    Textos avisadas;
    std::vector<Aviso> nuevos;
    std::string minusculas;
    std::string_view previa;
    bool previaDudosa = false;
    const auto lugares = lineas.lugares();
    for (std::size_t i = 0; i < lugares.size(); ++i) {
        // Sorted, the texts lie all over their block: each is fetched ahead.
        if (i + afinado::kAdelanto < lugares.size()) {
            anticipar(lineas.inicio(i + afinado::kAdelanto));
        }
        if (lugares[i] == 0) {
            continue;
        }
        const std::string_view t = texto::recortar(lineas.textoEn(lugares[i]));
        if (t.empty()) {
            continue;
        }
        // The list path keeps repeats, side by side once sorted: judged once.
        if (t == previa) {
            informe.dudosas += previaDudosa ? 1U : 0U;
            continue;
        }
        previa = t;
        previaDudosa = !informe.depurada && !depurador.talCual(t);
        if (previaDudosa) {
            ++informe.dudosas;
            continue;
        }
        nuevos.clear();
        avisador.avisar(t, nuevos);
        if (nuevos.empty()) {
            continue;
        }
        minusculas.clear();
        texto::agregarMinusculasUtf8(minusculas, t);
        if (avisadas.insertar(minusculas)) {
            // As the list first shows it.
            std::move(nuevos.begin(), nuevos.end(), std::back_inserter(informe.avisos));
        }
    }
}

// A file as the report names it: standard input's copy for what it holds.
std::u16string enInforme(const Estado& estado, const std::u16string& ruta) {
    return !estado.copiaEntradaEstandar.empty() && ruta == estado.copiaEntradaEstandar
               ? std::u16string(kEntradaEstandar)
               : ruta;
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

void informarFallo(Puerto& puerto, std::u16string_view accion, std::u16string_view ruta,
                   std::u16string_view motivo, Estilo estilo = Estilo::Critico) {
    puerto.mensaje(mensajeFallo(accion, ruta, motivo), estilo, kTitulo);
}

// Writes the report where it was asked for; false when that failed (the user has been told).
bool escribirInforme(const Estado& estado, Puerto& puerto, archivos::EscritorAtomico& escritor) {
    if (estado.rutaInforme.empty()) {
        return true;
    }
    archivos::Fallo fallo = escritor.escribir(informeJson(estado.recuento->informe));
    if (!fallo) {
        fallo = escritor.confirmar();
    }
    if (fallo) {
        escritor.descartar();
        informarFallo(puerto, kNoSeCreo, estado.rutaInforme, fallo.motivo);
        return false;
    }
    return true;
}

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

Desenlace procesarVarios(Estado& estado, Puerto& puerto, std::vector<std::u16string> rutas) {
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
        if (conLector(formato)) {
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
        const std::uint64_t n =
            deLista ? contarDirecciones(estado.lineas) : contarNoVacios(estado.lineas);
        if (estado.depurar) {
            if (auto fallo = depurarEntrada(estado, puerto, recuento.informe, deLista)) {
                return trabajos.fin(informar(puerto, std::move(fallo)));
            }
        }
        agregarEntradas(todas, std::move(estado.lineas), deLista);
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

Desenlace escribirConRecuento(Estado& estado, Puerto& puerto, Camino camino) {
    Recuento& recuento = *estado.recuento;
    Informe& informe = recuento.informe;
    EtapaResultado etapa;
    if (auto fallo = etapa.preparar(estado)) {
        return informar(puerto, std::move(fallo));
    }
    // Opened with the list, so that a report that cannot be made shows before any list is
    // replaced.
    archivos::EscritorAtomico escritor;
    if (!estado.rutaInforme.empty()) {
        if (const auto fallo = escritor.abrir(estado.rutaInforme)) {
            informarFallo(puerto, kNoSeCreo, estado.rutaInforme, fallo.motivo);
            return Desenlace::FalloArchivo;
        }
    }
    // Several inputs were counted, and cleaned up, one by one.
    if (recuento.varias) {
        informe.encontradas = 0;
        for (const ArchivoInforme& archivo : informe.archivos) {
            informe.encontradas += archivo.direcciones;
        }
    } else {
        // The list path keeps entries that are blank but for spaces; the others only words and
        // addresses, so there an element is an address when it is not the empty one.
        informe.encontradas = camino == Camino::Masivo ? contarNoVacios(estado.lineas)
                                                       : contarDirecciones(estado.lineas);
        if (estado.depurar) {
            if (auto fallo = depurarEntrada(estado, puerto, informe, camino == Camino::Lista)) {
                return informar(puerto, std::move(fallo));
            }
        }
    }
    // The clean-up leaves addresses alone, lower-cased, an entry perhaps giving several: from
    // here on they are what the run counts, each once on either path.
    informe.depurada = estado.depurar;
    const std::uint64_t direcciones =
        estado.depurar ? contarNoVacios(estado.lineas) : informe.encontradas;
    if (puerto.cancelado()) {
        return Desenlace::Interrumpido;
    }
    const bool unaVez = camino == Camino::Masivo || estado.depurar;
    // Before the sort, while the texts still lie in the order of their block. Every entry of an
    // excluded address goes, repeats too; then the repeats of the rest.
    informe.excluidas = recuento.excluir.aplicar(estado.lineas);
    AvanceDelPuerto orden(puerto, Fase::Orden);
    Cubo(estado.lineas, true, &orden);
    if (puerto.cancelado()) {
        return Desenlace::Interrumpido;
    }
    if (unaVez) {
        quitarRepetidos(estado.lineas);
        informe.repetidas = direcciones - informe.excluidas - contarNoVacios(estado.lineas);
    }
    recuento.excluir = Exclusion();  // as large as the lists; a window keeps its state
    informe.listadas = direcciones - informe.repetidas - informe.excluidas;
    const std::uint64_t porGrupo = std::clamp<std::size_t>(estado.porGrupo, 1, kPorGrupoMaximo);
    informe.grupos = (informe.listadas + porGrupo - 1) / porGrupo;
    revisarListadas(estado.lineas, informe);
    if (!recuento.varias) {
        informe.archivos = {{enInforme(estado, estado.archivoEntrada),
                             formatoDeInforme(estado.archivoEntrada, camino == Camino::Masivo),
                             informe.encontradas}};
    }
    if (informe.listadas == 0) {
        // An earlier list of the day stays; the person learns why there is none.
        if (informe.excluidas > 0) {
            puerto.mensaje(kTodasExcluidas, Estilo::Exclamacion, kTitulo);
        } else {
            std::u16string aviso(kSinDirecciones);
            for (const ArchivoInforme& archivo : informe.archivos) {
                aviso += u"\r\n";
                aviso += archivo.ruta;
            }
            puerto.mensaje(aviso, Estilo::Exclamacion, kTitulo);
        }
        if (!escribirInforme(estado, puerto, escritor)) {
            return Desenlace::FalloArchivo;
        }
        puerto.informe(informe);
        return Desenlace::Rechazado;
    }
    // Every read is over: a list made of a file that is no longer as it was read (an exclusion
    // list too) would not be what the person chose.
    for (const FuenteLeida& leida : recuento.leidas) {
        if (leida.huella.identidad.valida && !(archivos::huella(leida.ruta) == leida.huella)) {
            informarFallo(puerto, kNoSeProceso, leida.ruta, kCambiado);
            return Desenlace::FalloArchivo;
        }
    }
    const Desenlace desenlace = informar(
        puerto,
        etapa.terminar(estado, puerto, camino == Camino::Masivo ? kCierreMasivo : kCierreLista));
    if (desenlace != Desenlace::Escrito) {
        return desenlace;
    }
    // After the list, so that a report never describes a list that was not written.
    if (!escribirInforme(estado, puerto, escritor)) {
        return Desenlace::FalloArchivo;
    }
    puerto.informe(informe);
    return Desenlace::Escrito;
}

}  // namespace tralmix
