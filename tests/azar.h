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

// Pieces of pasted messages that the bulk table, the cleaning and the word scan care about, in
// several letter cases and with every kind of line end.
inline std::vector<std::string> piezasDeMensajes() {
    std::vector<std::string> p = {"De:",
                                  "FROM:",
                                  "a:",
                                  "Fecha:",
                                  "asunto:",
                                  "Subject:",
                                  "TO:",
                                  "date:",
                                  "enviado:",
                                  "Fw:",
                                  "cc:",
                                  "CCO:",
                                  "<",
                                  ">",
                                  "\"",
                                  ":",
                                  "add",
                                  "Add",
                                  "ADD",
                                  "sender to contacts",
                                  "Sender To Contacts",
                                  ",",
                                  ";",
                                  "\r\n",
                                  "\r",
                                  "\n",
                                  " ",
                                  "  ",
                                  "\t",
                                  ".html",
                                  ".HTM",
                                  "(",
                                  ")",
                                  "@",
                                  "ana@x.org",
                                  "MADDIE@EX.COM",
                                  "[mailto:",
                                  "]",
                                  "\xC4\xB0" /* İ */,
                                  "\xCE\xA3" /* Σ */,
                                  "\xC3\xA9" /* é */,
                                  "\xC3\x9F" /* ß */,
                                  "\xF0\x9F\x98\x80",
                                  "www.",
                                  "x",
                                  "h",
                                  "tml",
                                  "<contact type=\"1\">",
                                  "</contact>",
                                  "%",
                                  "!",
                                  "|"};
    for (std::size_t n = 1; n <= 22; ++n) {
        p.emplace_back(n, '.');
        p.emplace_back(n, '-');
    }
    return p;
}

}  // namespace tralmix::prueba
