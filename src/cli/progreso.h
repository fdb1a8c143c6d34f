#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "extract/mensajes.h"

namespace tralmix::cli {

// One line on a terminal, redrawn in place: the phase, its share done and, while bytes are read,
// the speed. It appears only once the run has lasted a moment, so short runs print nothing.
class LineaProgreso {
  public:
    // demora: how long a run goes before the line shows. reloj: seconds from any fixed point; by
    // default the steady clock.
    LineaProgreso(std::FILE* destino, bool activa, std::chrono::milliseconds demora,
                  std::function<double()> reloj = {});

    void actualizar(Fase fase, std::uint64_t hecho, std::uint64_t total);
    // Leaves the line empty, before a message and at the end.
    void borrar();

  private:
    std::FILE* destino_;
    bool activa_;
    double demora_;
    std::function<double()> reloj_;
    double inicio_;
    double ultimoDibujo_ = -1;
    Fase fase_ = Fase::Limpieza;
    double inicioFase_;
    std::uint64_t hechoAlInicioFase_ = 0;
    std::size_t largoDibujado_ = 0;
};

// The text of the line.
std::string textoProgreso(Fase fase, std::uint64_t hecho, std::uint64_t total,
                          double bytesPorSegundo);

}  // namespace tralmix::cli
