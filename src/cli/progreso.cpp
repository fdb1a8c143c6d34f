#include "cli/progreso.h"

#include <chrono>
#include <cstdio>

#include "cli/plataforma.h"
#include "util/texto.h"

namespace tralmix::cli {
namespace {

// A line is not redrawn more often than this (seconds).
constexpr double kIntervalo = 0.1;

bool cuentaBytes(Fase fase) {
    return fase == Fase::Limpieza || fase == Fase::Carga || fase == Fase::Extraccion;
}

}  // namespace

std::string textoProgreso(Fase fase, std::uint64_t hecho, std::uint64_t total,
                          double bytesPorSegundo) {
    // The windows' share, right-aligned so that the line does not jump; a total not known yet is
    // taken as done.
    const std::string porcentaje =
        texto::aUtf8(textoPorcentaje(milesimas(hecho, total).value_or(1000)));
    std::string linea = texto::aUtf8(nombreFase(fase));
    linea.append(porcentaje.size() < 6 ? 6 - porcentaje.size() : 1, ' ');
    linea += porcentaje;
    char cifras[48];
    if (cuentaBytes(fase) && bytesPorSegundo > 0) {
        std::snprintf(cifras, sizeof cifras, "  %.1f MB/s", bytesPorSegundo / 1e6);
        linea += cifras;
    }
    return linea;
}

LineaProgreso::LineaProgreso(std::FILE* destino, bool activa, std::chrono::milliseconds demora,
                             std::function<double()> reloj)
    : destino_(destino),
      activa_(activa),
      demora_(std::chrono::duration<double>(demora).count()),
      reloj_(std::move(reloj)) {
    if (!reloj_) {
        reloj_ = [] {
            return std::chrono::duration<double>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
    inicio_ = reloj_();
    inicioFase_ = inicio_;
}

void LineaProgreso::actualizar(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    if (!activa_) {
        return;
    }
    const double ahora = reloj_();
    if (fase != fase_) {
        fase_ = fase;
        inicioFase_ = ahora;
        hechoAlInicioFase_ = hecho;
    }
    if (ahora - inicio_ < demora_ || (ultimoDibujo_ >= 0 && ahora - ultimoDibujo_ < kIntervalo)) {
        return;
    }
    ultimoDibujo_ = ahora;
    const double enFase = ahora - inicioFase_;
    const double ritmo = enFase > 0 ? static_cast<double>(hecho - hechoAlInicioFase_) / enFase : 0;
    std::string linea = textoProgreso(fase, hecho, total, ritmo);
    const std::size_t largo = linea.size();
    // Spaces over what is left of a longer line drawn before.
    if (largo < largoDibujado_) {
        linea.append(largoDibujado_ - largo, ' ');
    }
    largoDibujado_ = largo;
    escribir(destino_, "\r" + linea);
}

void LineaProgreso::borrar() {
    if (largoDibujado_ == 0) {
        return;
    }
    escribir(destino_, "\r" + std::string(largoDibujado_, ' ') + "\r");
    largoDibujado_ = 0;
}

}  // namespace tralmix::cli
