#include "extract/lectura_anticipada.h"

namespace tralmix {
namespace {

// Where a file of lines can be cut from desde on: just after the first LF (an LF always ends a
// line); 0 when there is none.
std::uint64_t corteDesde(archivos::Lector& lector, std::uint64_t desde) {
    if (lector.irA(desde)) {
        return 0;
    }
    std::string ventana(std::size_t{64} * 1024, '\0');
    std::uint64_t posicion = desde;
    for (;;) {
        std::size_t n = 0;
        if (lector.leer(ventana.data(), ventana.size(), n) || n == 0) {
            return 0;
        }
        if (const auto lf = std::string_view(ventana.data(), n).find('\n');
            lf != std::string_view::npos) {
            return posicion + lf + 1;
        }
        posicion += n;
    }
}

}  // namespace

LecturaAnticipada::~LecturaAnticipada() {
    parar_ = true;
}

void LecturaAnticipada::empezar(const std::u16string& ruta, std::uint64_t desde) {
    archivos::Lector lector;
    if (lector.abrir(ruta)) {
        return;
    }
    const std::uint64_t tamano = lector.tamano();
    corte_ = corteDesde(lector, desde);
    if (corte_ == 0 || corte_ >= tamano) {
        return;
    }
    tarea_.empezar([this, ruta, tamano] {
        LectorTexto parte;
        fallo_ = parte.abrir(ruta);
        if (!fallo_) {
            fallo_ = parte.acotar(corte_, tamano);
        }
        if (!fallo_) {
            fallo_ = leerParte(parte, palabras_, [&] {
                leidos_ = parte.leidos();
                return !parar_.load();
            });
        }
    });
}

archivos::Fallo LecturaAnticipada::esperar(Arreglo& palabras) {
    tarea_.esperar();
    palabras = std::move(palabras_);
    return fallo_;
}

}  // namespace tralmix
