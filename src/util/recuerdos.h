#pragma once

// What a costly judgement of a text gave, kept for the texts met last: the domains of a list
// repeat (a handful of providers hold most addresses), and are judged once each.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "util/hash.h"

namespace tralmix {

template <typename Valor, std::size_t N = 256>
class Recuerdos {
  public:
    // The value juzgar gives for clave, from memory when clave was met last at its place.
    template <typename Juzgar>
    const Valor& de(std::string_view clave, Juzgar&& juzgar) {
        Recuerdo& r = recuerdos_[static_cast<std::size_t>(hashDe(clave) % N)];
        if (!r.usado || r.clave != clave) {
            r.usado = true;
            r.clave.assign(clave);
            r.valor = juzgar(clave);
        }
        return r.valor;
    }

  private:
    struct Recuerdo {
        bool usado = false;
        std::string clave;
        Valor valor{};
    };
    std::array<Recuerdo, N> recuerdos_{};
};

}  // namespace tralmix
