#include "extract/masivo.h"

#include "util/afinado.h"

namespace tralmix {

std::optional<Desenlace> masivo(Estado& estado, Puerto& puerto, const Trabajo& primera,
                                LecturaAnticipada* anticipada) {
    // The path box has shown this path since the dialog answered.
    const std::u16string& ruta = estado.archivoEntrada;
    auto fallar = [&](std::u16string_view motivo) {
        puerto.mensaje(mensajeFallo(kNoSeReleyo, ruta, motivo), Estilo::Critico, kTitulo);
        return Desenlace::FalloArchivo;
    };
    LectorTexto entrada;
    if (const auto fallo = entrada.abrir(ruta)) {
        return fallar(fallo.motivo);
    }
    // The working file came from the first reading; a list from another content would belie it.
    if (!(entrada.huella() == primera.entrada)) {
        return fallar(kCambiado);
    }
    const std::uint64_t tamano = entrada.tamano();
    // A large file read as UTF-8 is read in two parts at once, each on its own core; the second
    // part may have been started while the working file was written.
    LecturaAnticipada propia;
    LecturaAnticipada* segunda = nullptr;
    if (primera.utf8) {
        if (anticipada != nullptr && anticipada->empezada()) {
            segunda = anticipada;
        } else if (tamano >= afinado::kEnDosPartes) {
            propia.empezar(ruta, tamano / 100 * afinado::kCorteDespues);
            segunda = propia.empezada() ? &propia : nullptr;
        }
    }
    if (segunda != nullptr) {
        if (const auto fallo = entrada.acotar(0, segunda->corte())) {
            return fallar(fallo.motivo);
        }
    }
    estado.lineas.clear();
    AvanceDelPuerto avance(puerto, Fase::Extraccion);
    bool seguir = true;
    const archivos::Fallo fallo = leerParte(entrada, estado.lineas, [&] {
        const std::uint64_t otros = segunda != nullptr ? segunda->leidos() : 0;
        seguir = avance.seguir(entrada.leidos() + otros, tamano);
        return seguir;
    });
    if (segunda != nullptr) {
        if (!seguir || fallo) {
            segunda->parar();
        }
        Arreglo despues;
        const archivos::Fallo falloDespues = segunda->esperar(despues);
        if (!fallo && falloDespues) {
            return fallar(falloDespues.motivo);
        }
        // Position 0 of the whole is the first part's, or the second's when only it has words.
        estado.lineas.anexar(std::move(despues), estado.lineas.empty() ? 0 : 1);
    }
    if (fallo) {
        return fallar(fallo.motivo);
    }
    if (!seguir) {
        return Desenlace::Interrumpido;
    }
    return std::nullopt;
}

}  // namespace tralmix
