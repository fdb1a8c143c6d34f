#include "extract/recuento.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "extract/avisos.h"
#include "extract/cubo.h"
#include "extract/depuracion.h"
#include "extract/entrada.h"
#include "extract/limpieza.h"
#include "extract/proceso.h"
#include "extract/repetidos.h"
#include "util/afinado.h"
#include "util/archivos.h"
#include "util/memoria.h"
#include "util/paralelo.h"
#include "util/texto.h"

namespace tralmix {
namespace {

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

// The warnings on the listed addresses, each address once whatever its case, and without the
// clean-up the entries it would mend. An entry that is no address gets no warning: the nudge
// to the clean-up covers it.
struct Revision {
    std::uint64_t dudosas = 0;
    std::vector<Aviso> avisos;
};

// unaVez: each text is to be listed once, its repeats counted for nothing.
Revision revisarListadas(const Arreglo& lineas, bool depurada, bool unaVez) {
    Revision informe;
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
        // Repeats lie side by side once sorted: judged once; the list path lists each.
        if (t == previa) {
            informe.dudosas += previaDudosa && !unaVez ? 1U : 0U;
            continue;
        }
        previa = t;
        previaDudosa = !depurada && !depurador.talCual(t);
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
    return informe;
}

}  // namespace

// The clean-up of one input's entries in estado.lineas, counted in the report.
Fallo depurarEntrada(Estado& estado, Puerto& puerto, Informe& informe, bool deLista,
                     std::uint64_t& entradas) {
    // The other paths give words without blanks: every element that is not empty counts.
    const std::uint64_t noVacios = deLista ? 0 : contarNoVacios(estado.lineas);
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
    entradas = deLista ? hecha.entradas : noVacios;
    return {};
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

// A file as the report names it: standard input's copy for what it holds.
std::u16string enInforme(const Estado& estado, const std::u16string& ruta) {
    return !estado.copiaEntradaEstandar.empty() && ruta == estado.copiaEntradaEstandar
               ? std::u16string(kEntradaEstandar)
               : ruta;
}

void informarFallo(Puerto& puerto, std::u16string_view accion, std::u16string_view ruta,
                   std::u16string_view motivo, Estilo estilo) {
    puerto.mensaje(mensajeFallo(accion, ruta, motivo), estilo, kTitulo);
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
        const bool deLista = camino == Camino::Lista;
        if (estado.depurar) {
            // The clean-up counts the entries as it meets them.
            if (auto fallo =
                    depurarEntrada(estado, puerto, informe, deLista, informe.encontradas)) {
                return informar(puerto, std::move(fallo));
            }
        } else {
            informe.encontradas =
                deLista ? contarDirecciones(estado.lineas) : contarNoVacios(estado.lineas);
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
    recuento.excluir = Exclusion();  // as large as the lists; a window keeps its state
    AvanceDelPuerto orden(puerto, Fase::Orden);
    Cubo(estado.lineas, true, &orden);
    if (puerto.cancelado()) {
        return Desenlace::Interrumpido;
    }
    // The warnings read the sorted list while the repeats go and the list is written: where
    // repeats go, from an order of their own (a copy shares the texts).
    Arreglo copia;
    if (unaVez) {
        copia = estado.lineas;
    }
    const Arreglo& ordenadas = unaVez ? copia : estado.lineas;
    Revision revision;
    EnSegundoPlano revisando;
    revisando.empezar([&revision, &ordenadas, depurada = informe.depurada, unaVez] {
        revision = revisarListadas(ordenadas, depurada, unaVez);
    });
    if (unaVez) {
        quitarRepetidos(estado.lineas);
        informe.repetidas = direcciones - informe.excluidas - contarNoVacios(estado.lineas);
    }
    informe.listadas = direcciones - informe.repetidas - informe.excluidas;
    const std::uint64_t porGrupo = std::clamp<std::size_t>(estado.porGrupo, 1, kPorGrupoMaximo);
    informe.grupos = (informe.listadas + porGrupo - 1) / porGrupo;
    auto revisada = [&] {
        revisando.esperar();
        informe.dudosas += revision.dudosas;
        std::move(revision.avisos.begin(), revision.avisos.end(),
                  std::back_inserter(informe.avisos));
    };
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
        revisada();
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
    revisada();
    // After the list, so that a report never describes a list that was not written.
    if (!escribirInforme(estado, puerto, escritor)) {
        return Desenlace::FalloArchivo;
    }
    puerto.informe(informe);
    return Desenlace::Escrito;
}

}  // namespace tralmix
