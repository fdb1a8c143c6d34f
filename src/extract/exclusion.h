#pragma once

// The addresses and domains of the exclusion lists: people who asked not to get mail. Whatever
// path an entry of the list came by, it is left out when any address it holds is excluded, so
// that a display name or a "mailto:" in front of an address does not let it through.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "util/arreglo.h"

namespace tralmix {

// A set of texts kept for lookups by the million: an open table of their hashes and places, the
// texts themselves in large blocks of their own, so that a lookup that finds nothing touches one
// line of memory.
class Textos {
  public:
    Textos() = default;
    // The moved-from set is empty, with no place to write left.
    Textos(Textos&& otro) noexcept { *this = std::move(otro); }
    Textos& operator=(Textos&& otro) noexcept;
    Textos(const Textos&) = delete;
    Textos& operator=(const Textos&) = delete;

    std::size_t size() const { return textos_.size(); }
    bool empty() const { return textos_.empty(); }
    // True when t was not there yet.
    bool insertar(std::string_view t);
    bool contiene(std::string_view t) const;
    // The same with t's hash already known, and its place fetched ahead of the question.
    static std::uint64_t hash(std::string_view t);
    bool contiene(std::string_view t, std::uint64_t hash) const;
    void anticipar(std::uint64_t hash) const;
    // Everything otro holds; its texts' blocks come along, so nothing is copied.
    void unir(Textos&& otro);
    // Room for n texts, so that the table is not rebuilt while they come.
    void reservar(std::size_t n);

  private:
    // A place of the table: the upper half of a text's hash, never 0 where a text is, and where
    // the text is in textos_.
    struct Ranura {
        std::uint32_t huella = 0;
        std::uint32_t indice = 0;
    };
    // The place of t, or the free place where it would go.
    std::size_t buscar(std::uint64_t hash, std::string_view t) const;
    // Takes t, kept elsewhere as long as this set, when it is not there yet.
    bool agregarVista(std::uint64_t hash, std::string_view t);
    void crecer();
    // Every text again in a table of that many places (a power of two).
    void recolocar(std::size_t ranuras);

    std::vector<Ranura> ranuras_;  // a power of two of them, at most half used
    std::vector<std::string_view> textos_;
    std::vector<std::unique_ptr<char[]>> bloques_;
    char* libre_ = nullptr;
    std::size_t quedan_ = 0;  // bytes free at libre_
};

class Exclusion {
  public:
    bool vacia() const { return direcciones_.empty() && dominios_.empty(); }
    // Addresses and domains held.
    std::size_t tamano() const { return direcciones_.size() + dominios_.size(); }

    // Takes the addresses in texto: every word with text on both sides of an "@" (words end at
    // spaces, tabs, quotes, brackets, ",", ";" and ":", so "mailto:" falls away), lower-cased and
    // without the dots, dashes and marks at its ends. How many were new here.
    std::size_t agregarDirecciones(std::string_view texto);
    // Takes one line of an exclusion file as written: a line that is "@dominio" or "*@dominio"
    // (spaces and tabs around it aside) excludes that whole domain; any other line, its addresses.
    // Only a line of its own names a domain, never a word that a reading cut out of a longer one.
    std::size_t agregarLinea(std::string_view linea);
    // Everything otra holds, which is left empty.
    void unir(Exclusion&& otra);
    // Room for about n addresses.
    void reservar(std::size_t n) { direcciones_.reservar(n); }

    // Whether an entry of the list is to be left out: one of its words, or the domain of one, is
    // excluded. Letter case plays no part.
    bool excluye(std::string_view entrada) const;
    // Blanks every excluded element of lineas; how many there were.
    std::uint64_t aplicar(Arreglo& lineas) const;

  private:
    // Takes a lower-case word without its ends when it names someone.
    std::size_t agregarPalabra(std::string_view p);
    bool excluida(std::string_view palabra, std::string& minusculas) const;
    std::uint64_t aplicarEntre(Arreglo& lineas, std::size_t desde, std::size_t hasta) const;

    Textos direcciones_;
    Textos dominios_;
};

}  // namespace tralmix
