#include "extract/desenlace.h"

#include <cstdlib>
#include <string_view>

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

std::u16string_view nombreFase(Fase fase) {
    switch (fase) {
        case Fase::Limpieza:
            return u"Limpiando";
        case Fase::Carga:
            return u"Cargando";
        case Fase::Extraccion:
            return u"Extrayendo direcciones";
        case Fase::Orden:
            return u"Ordenando";
        case Fase::Escritura:
            return u"Escribiendo la lista";
    }
    return {};
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

namespace {

// A whole number of milliseconds from the environment; none when unset or not a plain number.
std::optional<long> milisegundosDe(const char* variable) {
    const char* valor = std::getenv(variable);
    if (valor == nullptr || *valor == '\0') {
        return std::nullopt;
    }
    char* fin = nullptr;
    const long n = std::strtol(valor, &fin, 10);
    if (*fin != '\0' || n < 0) {
        return std::nullopt;
    }
    return n;
}

}  // namespace

std::chrono::milliseconds demoraProgreso() {
    // Read once: the environment does not change under a running program.
    static const std::chrono::milliseconds demora{
        milisegundosDe("TRALMIX_RETRASO_PROGRESO_MS").value_or(500)};
    return demora;
}

bool retenerHastaParar() {
    static const bool retener = [] {
        const char* valor = std::getenv("TRALMIX_RETENER_HASTA_PARAR");
        return valor != nullptr && std::string_view(valor) == "1";
    }();
    return retener;
}

std::u16string mensajeFallo(std::u16string_view accion, std::u16string_view ruta,
                            std::u16string_view motivo) {
    std::u16string texto(accion);
    texto += u"\r\n";
    texto += ruta;
    texto += u"\r\n\r\nMotivo: ";
    texto += motivo;
    return texto;
}

}  // namespace tralmix
