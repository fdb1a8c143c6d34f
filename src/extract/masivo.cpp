#include "extract/masivo.h"

#include "util/afinado.h"

namespace tralmix {

Fallo masivo(Estado& estado, Puerto& puerto, const Trabajo& primera,
             LecturaAnticipada* anticipada) {
    // The path box has shown this path since the dialog answered.
    const std::u16string& ruta = estado.archivoEntrada;
    auto fallar = [&](Fallo fallo) { return std::move(fallo).en(kNoSeReleyo, ruta); };
    LectorTexto entrada;
    if (auto fallo = entrada.abrir(ruta)) {
        return fallar(std::move(fallo));
    }
    // The working file came from the first reading; a list from another content would belie it.
    if (!(entrada.huella() == primera.entrada)) {
        return fallar(Fallo::propio(kCambiado));
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
        if (auto fallo = entrada.acotar(0, segunda->corte())) {
            return fallar(std::move(fallo));
        }
    }
    estado.lineas.clear();
    AvanceDelPuerto avance(puerto, Fase::Extraccion);
    bool seguir = true;
    Fallo fallo = leerParte(entrada, estado.lineas, [&] {
        const std::uint64_t otros = segunda != nullptr ? segunda->leidos() : 0;
        seguir = avance.seguir(entrada.leidos() + otros, tamano);
        return seguir;
    });
    if (segunda != nullptr) {
        if (!seguir || fallo) {
            segunda->parar();
        }
        Arreglo despues;
        Fallo falloDespues = segunda->esperar(despues);
        if (!fallo && falloDespues) {
            return fallar(std::move(falloDespues));
        }
        // Position 0 of the whole is the first part's, or the second's when only it has words.
        estado.lineas.anexar(std::move(despues), estado.lineas.empty() ? 0 : 1);
    }
    if (fallo) {
        return fallar(std::move(fallo));
    }
    if (!seguir) {
        return Fallo::interrupcion();
    }
    return {};
}

}  // namespace tralmix
