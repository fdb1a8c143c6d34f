#include "util/arreglo.h"

#include <cstring>
#include <stdexcept>

namespace tralmix {

void Arreglo::clear() {
    bytes_.liberar();
    lugares_.liberar();
}

void Arreglo::prepararBloque() {
    if (bytes_.size() == 0) {
        bytes_.agregar(kFin);  // the empty text, shared by every empty element
    }
}

void Arreglo::reservar(std::size_t elementos, std::size_t bytes) {
    lugares_.reservar(elementos);
    bytes_.reservar(bytes + 1);
}

void Arreglo::agregar(std::string_view texto) {
    if (texto.empty()) {
        agregarVacio();
        return;
    }
    prepararBloque();
    const std::size_t lugar = bytes_.size();
    // Places count in 32 bits: 4 GB of text, beyond the largest file a run reads.
    if (lugar + texto.size() + 1 > UINT32_MAX) {
        throw std::length_error("arreglo demasiado grande");
    }
    char* destino = bytes_.agrandar(texto.size() + 1);
    std::memcpy(destino, texto.data(), texto.size());
    destino[texto.size()] = kFin;
    lugares_.agregar(static_cast<std::uint32_t>(lugar));
}

void Arreglo::agregarVacio() {
    prepararBloque();
    lugares_.agregar(0);
}

void Arreglo::anexar(const Arreglo& otro, std::size_t desde) {
    if (desde >= otro.size()) {
        return;
    }
    prepararBloque();
    // Its block goes after ours whole (its empty text at its place 0 included), its places moved
    // by where it now starts; its empty elements keep place 0.
    const std::size_t base = bytes_.size();
    if (base + otro.bytes_.size() > UINT32_MAX) {
        throw std::length_error("arreglo demasiado grande");
    }
    bytes_.agregar(otro.bytes_.data(), otro.bytes_.size());
    std::uint32_t* destino = lugares_.agrandar(otro.size() - desde);
    for (std::size_t i = desde; i < otro.size(); ++i) {
        const std::uint32_t lugar = otro.lugares_[i];
        *destino++ = lugar == 0 ? 0 : static_cast<std::uint32_t>(base + lugar);
    }
}

void Arreglo::vaciar(std::size_t i) {
    lugares_[i] = 0;
}

void Arreglo::acortar(std::size_t i, std::string_view texto) {
    if (texto.empty()) {
        vaciar(i);
        return;
    }
    // Written over its own text, which only this element holds.
    char* destino = bytes_.data() + lugares_[i];
    std::memmove(destino, texto.data(), texto.size());
    destino[texto.size()] = kFin;
}

bool Arreglo::operator==(const Arreglo& otro) const {
    if (size() != otro.size()) {
        return false;
    }
    for (std::size_t i = 0; i < size(); ++i) {
        if ((*this)[i] != otro[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace tralmix
