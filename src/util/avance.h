#pragma once

// How a long step reports how far it is, and learns whether to go on.

#include <chrono>
#include <cstdint>

namespace tralmix {

class Avance {
  public:
    virtual ~Avance() = default;
    // hecho of total units done; false asks the step to stop where it is.
    virtual bool seguir(std::uint64_t hecho, std::uint64_t total) = 0;
};

// How a run shows its progress, the same in every front end. Each front end's main sets it;
// tests change it through the environment (entorno::ajustesAvance), so that no test depends on
// how fast the machine is.
struct AjustesAvance {
    // Runs shorter than this show no progress, only the busy pointer.
    std::chrono::milliseconds demora{500};
    // For tests only: a run waits at its first progress report until it is stopped, so that a
    // test stops it mid-way on any machine.
    bool retenerHastaParar = false;
};

}  // namespace tralmix
