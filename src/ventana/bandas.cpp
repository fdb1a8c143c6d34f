#include "ventana/bandas.h"

#include <cmath>

namespace tralmix {

namespace {

// To the nearest integer, an exact half to the even neighbour (the default rounding mode).
int redondear(float valor) {
    return static_cast<int>(std::lrint(valor));
}

struct Canales {
    int rojo;
    int verde;
    int azul;
};

Canales canales(Color color) {
    return {static_cast<int>(color & 255u), static_cast<int>((color / 256u) & 255u),
            static_cast<int>((color / 65536u) & 255u)};
}

float paso(int inicio, int fin) {
    return static_cast<float>(static_cast<double>(inicio - fin) / kBandas);
}

}  // namespace

std::vector<Banda> bandasDegradado(int ancho, int alto, Color inicio, Color fin) {
    const float altoBanda = static_cast<float>(alto) / static_cast<float>(kBandas);
    const Canales a = canales(inicio);
    const Canales b = canales(fin);
    const float pasoRojo = paso(a.rojo, b.rojo);
    const float pasoVerde = paso(a.verde, b.verde);
    const float pasoAzul = paso(a.azul, b.azul);
    auto rojo = static_cast<float>(a.rojo);
    auto verde = static_cast<float>(a.verde);
    auto azul = static_cast<float>(a.azul);

    std::vector<Banda> bandas;
    bandas.reserve(kBandas);
    int arriba = 0;
    int abajo = redondear(altoBanda);
    float y = 0.0f;
    for (int i = 0; i < kBandas; ++i) {
        bandas.push_back(
            {arriba, abajo, ancho, redondear(rojo), redondear(verde), redondear(azul)});
        rojo -= pasoRojo;
        verde -= pasoVerde;
        azul -= pasoAzul;
        y += altoBanda;
        arriba = redondear(y);
        abajo = redondear(y + altoBanda);
    }
    return bandas;
}

}  // namespace tralmix
