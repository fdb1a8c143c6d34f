#pragma once

// How a long step reports how far it is, and learns whether to go on.

#include <cstdint>

namespace tralmix {

class Avance {
  public:
    virtual ~Avance() = default;
    // hecho of total units done; false asks the step to stop where it is.
    virtual bool seguir(std::uint64_t hecho, std::uint64_t total) = 0;
};

}  // namespace tralmix
