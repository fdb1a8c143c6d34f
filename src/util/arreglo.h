#pragma once

// The program's dynamic arrays of strings (lineas), kept compact: every element's
// text lies in one block of bytes, and the element is the place of its text in that block.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "util/memoria.h"
#include "util/texto.h"

namespace tralmix {

class Arreglo {
  public:
    // Ends every text in the block: a byte that UTF-8 never uses, so texts need no length.
    static constexpr char kFin = '\xFF';

    // Without elements, as an array never sized or erased.
    Arreglo() = default;
    // A copy shares the block of texts until one of the two changes a text or adds one: copies
    // that only reorder or blank their elements cost their places only.
    Arreglo(const Arreglo& otro) = default;
    Arreglo& operator=(const Arreglo& otro) = default;
    Arreglo(Arreglo&& otro) noexcept = default;
    Arreglo& operator=(Arreglo&& otro) noexcept = default;

    std::size_t size() const { return lugares_.size(); }
    bool empty() const { return lugares_.size() == 0; }
    std::string_view operator[](std::size_t i) const { return textoEn(lugares_[i]); }
    // Where element i's text starts, without finding its end (to fetch it ahead of its use).
    const char* inicio(std::size_t i) const { return bytes_->data() + lugares_[i]; }

    // Without elements again; the memory goes back.
    void clear();
    // Room for n elements and b bytes of text, so that filling it moves nothing.
    void reservar(std::size_t elementos, std::size_t bytes);

    // Appends an element; the text must be valid UTF-8 (it never holds kFin).
    void agregar(std::string_view texto);
    void agregarVacio();
    // Appends the elements of otro from desde on, in order. Whichever block is smaller is the one
    // copied, but a lent block always takes otro's texts.
    void anexar(Arreglo&& otro, std::size_t desde = 0);
    // The block, lent to an array that only appends to it (texts read after several files
    // lie in one block, none copied): the one returned has no element, this one keeps its
    // elements and reads none of them until recobrar gives the block back.
    Arreglo prestarBloque();
    // The block lent, back from otro (or otro's own, when none was lent), and otro's elements
    // after ours.
    void recobrar(Arreglo&& otro);
    bool prestado() const { return prestado_; }
    // No element, the texts from the byte desde on gone; those before it stay, for the array
    // the block was lent by.
    void vaciarDesde(std::size_t desde);
    // Element i becomes the empty text.
    void vaciar(std::size_t i);
    // Element i becomes texto, which is no longer than its present text.
    void acortar(std::size_t i, std::string_view texto);

    // The places of the texts, element by element, for a sort to reorder; the empty text is at
    // place 0. textoEn gives the text at a place.
    std::span<std::uint32_t> lugares() { return {lugares_.data(), lugares_.size()}; }
    std::span<const std::uint32_t> lugares() const { return {lugares_.data(), lugares_.size()}; }
    std::string_view textoEn(std::uint32_t lugar) const {
        const char* inicio = bytes_->data() + lugar;
        return {inicio, primeroDe<0xFF>(inicio, bytes_->size() - lugar)};
    }
    // The block itself: each text followed by kFin.
    const char* bytes() const { return bytes_ ? bytes_->data() : nullptr; }
    std::size_t tamanoBytes() const { return bytes_ ? bytes_->size() : 0; }

    bool operator==(const Arreglo& otro) const;

  private:
    // The block, this array's alone, with its empty text.
    Bloque<char>& propio() {
        if (!bytes_ || bytes_.use_count() > 1) [[unlikely]] {
            separar();
        }
        return *bytes_;
    }
    void separar();

    std::shared_ptr<Bloque<char>> bytes_;
    Bloque<std::uint32_t> lugares_;
    bool prestado_ = false;  // the block is lent: it never moves to another
};

// Every element of lineas that is not blank once trimmed, as cadaUna(i, tal, recortado); a blank
// one becomes the empty element, the removed ones are passed over.
template <typename CadaUna>
void paraCadaEntrada(Arreglo& lineas, CadaUna&& cadaUna) {
    const auto lugares = lineas.lugares();
    for (std::size_t i = 0; i < lugares.size(); ++i) {
        if (lugares[i] == 0) {
            continue;
        }
        const std::string_view tal = lineas.textoEn(lugares[i]);
        const std::string_view t = texto::recortar(tal);
        if (t.empty()) {
            lineas.vaciar(i);
            continue;
        }
        cadaUna(i, tal, t);
    }
}

}  // namespace tralmix
