#pragma once

// The clean-up of a list: every entry becomes the addresses inside it that a mail program can
// send to, or nothing.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "extract/enviable.h"
#include "util/arreglo.h"

namespace tralmix {

// What the clean-up made of one entry.
enum class Depuracion {
    SinCambios,  // the entry is itself one address, exactly as written
    Reducida,    // the addresses differ from the entry as it stood
    Descartada,  // the entry holds no address
};

// The clean-up, entry after entry, keeping its buffers between entries.
class Depurador {
  public:
    // Reduces one entry (UTF-8) to the address-shaped words inside it: words are split at
    // blanks and control characters and at , ; : < > ( ) [ ] " “ ” „ « »; each word loses
    // the quotes ' ‘ ’ at either end and dots at its end, a query after "mailto:" ("?subject=…");
    // those that then hold an "@" are lower-cased and kept when esEnviable, in the order found,
    // repeats included (the caller keeps each once).
    Depuracion depurar(std::string_view entrada);

    // The addresses of the last entry (one for SinCambios), valid until the next depurar.
    std::span<const std::string_view> direcciones() const { return vistas_; }

    // Whether address k of the last entry came after a space with something before it there: on
    // the list path that space may stand for a character the cleaning took out of the address
    // ("usuario+etiqueta@…" became "usuario etiqueta@…").
    bool trasEspacio(std::size_t k) const { return trasEspacio_[k]; }

    // Whether the clean-up keeps the entry (blanks around it aside) as its one address, letter
    // case aside: "Ana@Example.com" yes, "<ana@example.com>" or "bad@" no. Most entries are
    // ASCII addresses, judged without a copy.
    bool talCual(std::string_view entrada);
    // The judge of the addresses, with what it remembers of the domains met.
    JuezEnviable& juez() { return juez_; }

  private:
    void palabra(std::string_view entrada, std::size_t inicio, std::size_t fin);

    std::string texto_;                 // the addresses kept, one after another
    std::vector<std::size_t> finales_;  // where each ends in texto_
    std::vector<std::string_view> vistas_;
    std::vector<bool> trasEspacio_;
    std::string minusculas_;
    JuezEnviable juez_;
};

// What the clean-up did to a list.
struct ListaDepurada {
    std::uint64_t descartadas = 0;  // entries without any address, now empty
    std::uint64_t corregidas = 0;   // entries that gave other addresses than themselves
    std::uint64_t entradas = 0;     // elements not blank once trimmed, before the clean-up
};
// For an element the clean-up would change, the text to reduce in its place when a truer one is
// known (the list path's line as read, before the cleaning); nothing when none is, and then the
// addresses that came after a space are left out.
using TextoOriginal = std::function<std::optional<std::string_view>(std::string_view elemento)>;
// The clean-up of every element of lineas, in place: each becomes the addresses inside it,
// lower-cased (the first in its place, the others at the end), or the empty text. Blank
// elements become empty and are not counted. With original, an element that is not one address
// as it stands is reduced from the text original gives, or, when it gives none, loses the
// addresses that came after a space (Depurador::trasEspacio).
ListaDepurada depurarLista(Arreglo& lineas, const TextoOriginal& original = {});

}  // namespace tralmix
