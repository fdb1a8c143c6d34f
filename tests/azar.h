#pragma once

// Random texts for the equivalence tests: each optimised path is compared with the literal
// application of its rules on many texts made of the pieces those rules care about. The seed is
// fixed, so a failure repeats.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tralmix::prueba {

class Azar {
  public:
    explicit Azar(std::uint32_t semilla = 20050305) : motor_(semilla) {}

    std::size_t hasta(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(motor_);
    }

    // Up to maximo pieces drawn from piezas, joined.
    template <typename Texto>
    Texto juntar(const std::vector<Texto>& piezas, std::size_t maximo) {
        Texto t;
        const std::size_t n = hasta(maximo + 1);
        for (std::size_t i = 0; i < n; ++i) {
            t += piezas[hasta(piezas.size())];
        }
        return t;
    }

    std::string bytes(std::size_t maximo) {
        std::string b(hasta(maximo + 1), '\0');
        for (char& c : b) {
            c = static_cast<char>(hasta(256));
        }
        return b;
    }

  private:
    std::mt19937 motor_;
};

}  // namespace tralmix::prueba
