#include "extract/resultado.h"

#include <algorithm>

#include "extract/cubo.h"
#include "extract/recuento.h"
#include "extract/repetidos.h"
#include "util/afinado.h"
#include "util/cadenas.h"
#include "util/cargador.h"
#include "util/memoria.h"
#include "util/texto.h"

namespace tralmix {
namespace {

std::u16string dosDigitos(unsigned n) {
    return {static_cast<char16_t>(u'0' + (n / 10) % 10), static_cast<char16_t>(u'0' + n % 10)};
}

}  // namespace

std::u16string nombreLista(const Fecha& fecha) {
    std::u16string nombre = u"Mails_";
    // Always four digits, so that the lists of every year sort and read alike.
    std::string anio = std::to_string(fecha.anio);
    anio.insert(0, anio.size() < 4 ? 4 - anio.size() : 0, '0');
    nombre += texto::desdeUtf8OReemplazo(anio);
    nombre += dosDigitos(fecha.mes);
    nombre += dosDigitos(fecha.dia);
    nombre += u".txt";
    return nombre;
}

std::u16string rutaResultado(std::u16string_view carpeta, const Fecha& fecha) {
    return conSeparador(std::u16string(carpeta)) + nombreLista(fecha);
}

bool componerLista(const Arreglo& lineas, const DestinoLista& destino, std::size_t porGrupo,
                   std::string_view separador) {
    porGrupo = std::clamp<std::size_t>(porGrupo, 1, kPorGrupoMaximo);
    std::string salida;
    // Each text ends in CR LF where the block ends it in one byte, and the groups add blank lines:
    // rarely beyond twice the block, and a short list does not ask for a full piece.
    salida.reserve(afinado::trozoPara(2 * lineas.tamanoBytes()) + 4096);
    const auto n = static_cast<std::size_t>(contarElementos(lineas));
    std::size_t contador = 1;
    // The rest of a group waits in salida from `pendiente` on until the group closes: its end
    // may still be cut.
    std::size_t pendiente = std::string::npos;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + afinado::kAdelanto < n) {
            anticiparTexto(lineas.inicio(i + afinado::kAdelanto));
        }
        const std::string_view elemento = lineas[i];
        const std::string_view t = texto::recortar(elemento);
        if (t.empty()) {
            continue;
        }
        if (contador == 1) {
            salida += t;
            salida += "\r\n\r\n";
            // A group of one is its first address alone.
            contador = porGrupo == 1 ? 1 : 2;
        } else if (contador >= porGrupo) {
            salida += elemento;
            salida += "\r\n\r\n\r\n";
            contador = 1;
            pendiente = std::string::npos;
        } else {
            if (pendiente == std::string::npos) {
                pendiente = salida.size();
            }
            salida += elemento;
            if (i != n - 1) {
                salida += separador;
            }
            ++contador;
        }
        // Whole groups go out; an open group stays until it closes.
        const std::size_t listo = pendiente == std::string::npos ? salida.size() : pendiente;
        if (listo >= afinado::kTrozo) {
            if (!destino(std::string_view(salida).substr(0, listo), i + 1)) {
                return false;
            }
            salida.erase(0, listo);
            if (pendiente != std::string::npos) {
                pendiente = 0;
            }
        }
    }
    if (pendiente != std::string::npos) {
        // The separator left after a last element that was blank: one space off, then the rest
        // of the separator ("," for the usual ", ").
        if (salida.ends_with(' ')) {
            salida.pop_back();
        }
        std::string_view resto = separador;
        while (!resto.empty() && resto.back() == ' ') {
            resto.remove_suffix(1);
        }
        if (!resto.empty() && salida.size() >= pendiente + resto.size() &&
            salida.ends_with(resto)) {
            salida.resize(salida.size() - resto.size());
        }
        salida += "\r\n\r\n\r\n";
    }
    return salida.empty() || destino(salida, n);
}

std::u16string rutaResultado(const Estado& estado) {
    return rutaResultado(estado.carpetaResultado, estado.fecha ? *estado.fecha : entorno::hoy());
}

Fallo EtapaResultado::preparar(const Estado& estado) {
    ruta_ = rutaResultado(estado);
    // Hidden lists an earlier run left are cleared away, but never the input, whatever its name.
    return escritor_.abrir(ruta_, archivos::identidad(estado.archivoEntrada)).en(kNoSeCreo, ruta_);
}

Fin EtapaResultado::terminar(const Estado& estado, Puerto& puerto, std::u16string_view cierre) {
    AvanceDelPuerto avance(puerto, Fase::Escritura);
    const std::size_t n = estado.lineas.size();
    std::uint64_t escritos = 0;
    const bool completa = componerLista(
        estado.lineas,
        [&](std::string_view trozo, std::size_t hechos) {
            escritor_.escribir(trozo);
            escritos += trozo.size();
            return avance.seguir(hechos, n);
        },
        estado.porGrupo, estado.separador);
    // The last moment to stop before the list replaces anything.
    if (!completa || puerto.cancelado()) {
        escritor_.descartar();
        return Fallo::interrupcion();
    }
    if (escritos == 0) {
        escritor_.descartar();
        std::u16string aviso(kSinDirecciones);
        aviso += u"\r\n";
        aviso += estado.archivoEntrada;
        puerto.mensaje(aviso, Estilo::Exclamacion, kTitulo);
        return Desenlace::Rechazado;
    }
    // Every read is over: a file that is no longer what the run first opened (rewritten,
    // truncated, grown, replaced) may have given a mixture, so no list replaces an earlier one.
    if (estado.huellaEntrada.identidad.valida &&
        !(archivos::huella(estado.archivoEntrada) == estado.huellaEntrada)) {
        escritor_.descartar();
        return Fallo::propio(kCambiado).en(kNoSeProceso, estado.archivoEntrada);
    }
    if (auto fallo = escritor_.confirmar()) {
        return std::move(fallo).en(kNoSeCreo, ruta_);
    }
    std::u16string aviso(kCreado);
    aviso += u"\r\n";
    aviso += ruta_;
    aviso += u"\r\n\r\n";
    aviso += cierre;
    puerto.mensaje(aviso, Estilo::Informacion, kTitulo);
    if (const std::u16string motivo = puerto.abrirArchivo(ruta_); !motivo.empty()) {
        puerto.mensaje(mensajeFallo(kNoSeAbrio, ruta_, motivo), Estilo::Exclamacion, kTitulo);
    }
    puerto.ponerTextoRuta(u"");
    return Desenlace::Escrito;
}

Fin ordenarYTerminar(Estado& estado, Puerto& puerto, Camino camino) {
    // Several inputs, exclusion lists or a report: the same steps, counted (recuento.h).
    if (estado.recuento) {
        return escribirConRecuento(estado, puerto, camino);
    }
    EtapaResultado etapa;
    if (auto fallo = etapa.preparar(estado)) {
        return fallo;
    }
    AvanceDelPuerto orden(puerto, Fase::Orden);
    Cubo(estado.lineas, true, &orden);
    if (puerto.cancelado()) {
        return Fallo::interrupcion();
    }
    if (camino == Camino::Masivo) {
        quitarRepetidos(estado.lineas);
    }
    return etapa.terminar(estado, puerto, camino == Camino::Masivo ? kCierreMasivo : kCierreLista);
}

Desenlace ordenarYEscribir(Estado& estado, Puerto& puerto, Camino camino) {
    return informar(puerto, ordenarYTerminar(estado, puerto, camino));
}

}  // namespace tralmix
