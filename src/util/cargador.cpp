#include "util/cargador.h"

#include <cstring>

#include "util/afinado.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix {

void partir(std::string_view texto, std::string_view delimitador, Arreglo& lineas) {
    std::size_t inicio = 0;
    if (!delimitador.empty()) {
        for (std::size_t p = texto.find(delimitador); p != std::string_view::npos;
             p = texto.find(delimitador, inicio)) {
            lineas.agregar(texto.substr(inicio, p - inicio));
            inicio = p + delimitador.size();
        }
    }
    lineas.agregar(texto.substr(inicio));
}

Fallo cargarLineas(Arreglo& lineas, std::u16string_view ruta, bool sinEnlace, Avance* avance) {
    // Our own reason: a file of lines that is not UTF-8 was not written by this program.
    const auto noEsUtf8 = [] { return Fallo::propio(u"el archivo no es texto UTF-8 válido"); };
    archivos::Lector lector;
    // The working file may be larger than any input: it is bounded by the block's places.
    if (auto fallo = lector.abrir(ruta, sinEnlace, archivos::kTamanoTrabajo)) {
        return fallo;
    }
    const std::uint64_t tamano = lector.tamano();
    Arreglo cargadas;
    // Every element ends at a CR LF but the last, and its text is what lies between them.
    cargadas.reservar(0, static_cast<std::size_t>(tamano) + 2);
    constexpr std::string_view kCrLf = "\r\n";
    std::string trozo(afinado::trozoPara(tamano) + kCrLf.size(), '\0');
    std::size_t pendientes = 0;  // bytes at the start of trozo that wait for their CR LF
    std::uint64_t leidos = 0;
    for (;;) {
        if (pendientes == trozo.size()) {
            trozo.resize(trozo.size() * 2);  // a line longer than a piece
        }
        std::size_t n = 0;
        if (auto fallo = lector.leer(trozo.data() + pendientes, trozo.size() - pendientes, n)) {
            return fallo;
        }
        leidos += n;
        if (avance != nullptr && !avance->seguir(leidos, tamano)) {
            lineas.clear();
            return Fallo::interrupcion();
        }
        const std::string_view lleno(trozo.data(), pendientes + n);
        if (n == 0) {
            if (leidos == 0) {
                lineas.clear();  // a file of length 0 gives an array without elements
                return {};
            }
            if (!texto::esUtf8(lleno)) {
                return noEsUtf8();
            }
            partir(lleno, kCrLf, cargadas);
            break;
        }
        // Whole elements up to the last CR LF; the rest waits for the next piece.
        const std::size_t ultimo = lleno.rfind(kCrLf);
        if (ultimo == std::string_view::npos) {
            pendientes = lleno.size();
            continue;
        }
        const std::string_view completas = lleno.substr(0, ultimo);
        if (!texto::esUtf8(completas)) {
            return noEsUtf8();
        }
        partir(completas, kCrLf, cargadas);
        const std::size_t resto = lleno.size() - (ultimo + kCrLf.size());
        std::memmove(trozo.data(), trozo.data() + ultimo + kCrLf.size(), resto);
        pendientes = resto;
    }
    lineas = std::move(cargadas);
    return {};
}

std::u16string cargarArchivo(Arreglo& lineas, std::u16string_view ruta, bool sinEnlace,
                             Avance* avance) {
    return cargarLineas(lineas, ruta, sinEnlace, avance).motivo;
}

std::int64_t contarElementos(const Arreglo& lineas) {
    return static_cast<std::int64_t>(lineas.size());
}

}  // namespace tralmix
