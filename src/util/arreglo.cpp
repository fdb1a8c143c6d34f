#include "util/arreglo.h"

#include <cstring>
#include <stdexcept>

namespace tralmix {

void Arreglo::clear() {
    bytes_.reset();
    lugares_.liberar();
    prestado_ = false;
}

void Arreglo::separar() {
    auto propio =
        bytes_ ? std::make_shared<Bloque<char>>(*bytes_) : std::make_shared<Bloque<char>>();
    if (propio->size() == 0) {
        propio->agregar(kFin);  // the empty text, shared by every empty element
    }
    bytes_ = std::move(propio);
}

void Arreglo::reservar(std::size_t elementos, std::size_t bytes) {
    lugares_.reservar(elementos);
    propio().reservar(bytes + 1);
}

void Arreglo::agregar(std::string_view texto) {
    if (texto.empty()) {
        agregarVacio();
        return;
    }
    Bloque<char>& bloque = propio();
    const std::size_t lugar = bloque.size();
    // Places count in 32 bits: 4 GB of text, beyond the largest file a run reads.
    if (lugar + texto.size() + 1 > UINT32_MAX) {
        throw std::length_error("arreglo demasiado grande");
    }
    char* destino = bloque.agrandar(texto.size() + 1);
    std::memcpy(destino, texto.data(), texto.size());
    destino[texto.size()] = kFin;
    lugares_.agregar(static_cast<std::uint32_t>(lugar));
}

void Arreglo::agregarVacio() {
    propio();
    lugares_.agregar(0);
}

void Arreglo::anexar(Arreglo&& otro, std::size_t desde) {
    if (desde >= otro.size()) {
        return;
    }
    // The smaller block goes after the larger one, whole (its empty text at its place 0
    // included), and the places into it move by where it now starts; empty elements keep place 0.
    auto mover = [](Bloque<std::uint32_t>& lugares, std::size_t de, std::size_t a,
                    std::size_t base) {
        for (std::size_t i = de; i < a; ++i) {
            lugares[i] = lugares[i] == 0 ? 0 : static_cast<std::uint32_t>(base + lugares[i]);
        }
    };
    const std::size_t nuestros = bytes_ ? bytes_->size() : 0;
    // A lent block's texts stay where they are: the lender's elements point into it.
    if (prestado_ || nuestros >= otro.bytes_->size()) {
        Bloque<char>& bloque = propio();
        const std::size_t base = bloque.size();
        if (base + otro.bytes_->size() > UINT32_MAX) {
            throw std::length_error("arreglo demasiado grande");
        }
        bloque.agregar(otro.bytes_->data(), otro.bytes_->size());
        const std::size_t antes = lugares_.size();
        lugares_.agregar(otro.lugares_.data() + desde, otro.size() - desde);
        mover(lugares_, antes, lugares_.size(), base);
    } else {
        Bloque<char>& bloque = otro.propio();
        const std::size_t base = bloque.size();
        if (base + nuestros > UINT32_MAX) {
            throw std::length_error("arreglo demasiado grande");
        }
        if (nuestros > 0) {
            bloque.agregar(bytes_->data(), nuestros);
        }
        mover(lugares_, 0, lugares_.size(), base);
        lugares_.agregar(otro.lugares_.data() + desde, otro.size() - desde);
        bytes_ = std::move(otro.bytes_);
    }
    otro.clear();
}

Arreglo Arreglo::prestarBloque() {
    Arreglo prestado;
    prestado.bytes_ = std::move(bytes_);
    prestado.prestado_ = prestado.bytes_ != nullptr;
    bytes_.reset();
    return prestado;
}

void Arreglo::recobrar(Arreglo&& otro) {
    lugares_.agregar(otro.lugares_.data(), otro.size());
    bytes_ = std::move(otro.bytes_);
    otro.clear();
}

void Arreglo::vaciarDesde(std::size_t desde) {
    lugares_.liberar();
    if (desde == 0 || !bytes_) {
        bytes_.reset();
        return;
    }
    propio().recortar(desde);
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
    char* destino = propio().data() + lugares_[i];
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
