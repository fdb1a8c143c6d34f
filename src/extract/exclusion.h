#pragma once

// The addresses and domains of the exclusion lists: people who asked not to get mail. Whatever
// path an entry of the list came by, it is left out when any address it holds is excluded, so
// that a display name or a "mailto:" in front of an address does not let it through.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "util/arreglo.h"

namespace tralmix {

class Exclusion {
  public:
    bool vacia() const { return direcciones_.empty() && dominios_.empty(); }
    // Addresses and domains held.
    std::size_t tamano() const { return direcciones_.size() + dominios_.size(); }

    // Takes what one entry of an exclusion file names: every word with an "@" in it (words end
    // at spaces, tabs, quotes, brackets, ",", ";" and ":", so "mailto:" falls away), lower-cased,
    // as written and without the dots, dashes and marks at its ends. A word that then begins
    // with "@" ("@dominio", "*@dominio") excludes that whole domain. The number of words that were
    // new here.
    std::size_t agregar(std::string_view entrada);
    // Everything otra holds, which is left empty.
    void unir(Exclusion&& otra);

    // Whether an entry of the list is to be left out: one of its words, or the domain of one, is
    // excluded. Letter case plays no part.
    bool excluye(std::string_view entrada) const;
    // Blanks every excluded element of lineas; how many there were.
    std::uint64_t aplicar(Arreglo& lineas) const;

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view t) const {
            return std::hash<std::string_view>{}(t);
        }
    };
    using Conjunto = std::unordered_set<std::string, Hash, std::equal_to<>>;

    bool excluida(std::string_view palabra, std::string& minusculas) const;

    Conjunto direcciones_;
    Conjunto dominios_;
};

}  // namespace tralmix
