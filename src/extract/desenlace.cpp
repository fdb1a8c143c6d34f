#include "extract/desenlace.h"

namespace tralmix {

int codigoSalida(Desenlace desenlace) {
    switch (desenlace) {
        case Desenlace::Escrito:
            return kSalidaEscrito;
        case Desenlace::Cancelado:
        case Desenlace::Rechazado:
            return kSalidaRechazado;
        case Desenlace::Interrumpido:
            return kSalidaInterrumpido;
        case Desenlace::FalloArchivo:
            break;
    }
    return kSalidaFalloArchivo;
}

std::optional<int> milesimas(std::uint64_t hecho, std::uint64_t total) {
    constexpr int kEscala = 1000;
    if (total == 0) {
        return std::nullopt;
    }
    if (hecho >= total) {
        return kEscala;
    }
    // In floating point: hecho * 1000 may not fit 64 bits for counts near the limit.
    return static_cast<int>(static_cast<double>(hecho) / static_cast<double>(total) * kEscala);
}

}  // namespace tralmix
