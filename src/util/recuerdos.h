#pragma once

// What a costly judgement of a text gave, kept for the texts met last: the domains of a list
// repeat (a handful of providers hold most addresses), and are judged once each.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tralmix {

template <typename Valor, std::size_t N = 256>
class Recuerdos {
  public:
    // The value juzgar gives for clave, from memory when clave was met last at its place.
    template <typename Juzgar>
    const Valor& de(std::string_view clave, Juzgar&& juzgar) {
        std::uint64_t h = 0xcbf29ce484222325u;  // FNV-1a
        for (const char c : clave) {
            h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
        }
        Recuerdo& r = recuerdos_[static_cast<std::size_t>((h ^ (h >> 32)) % N)];
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
