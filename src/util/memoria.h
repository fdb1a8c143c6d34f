#pragma once

// Memory for the run's large arrays: grown without being cleared first, moved rather than copied
// when it grows, and on 2 MB pages where the system offers them.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "util/vectores.h"

namespace tralmix {

// Asks the processor to start loading memory that is read a little later; walking short texts
// scattered over a large block otherwise waits on every one of them.
inline void anticipar(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// The same for a short text about to be read whole: one that starts in the second half of a
// cache line ends in the next, which would otherwise be waited for.
inline void anticiparTexto(const char* p) {
    anticipar(p);
    anticipar(p + 32);
}

// Sixteen bytes at a time where the processor has vector registers, then eight: the place of the
// first of the given bytes, or n. Word tricks: a byte equal to c is a zero byte of v ^ c…c, and
// the lowest flag of the classic zero-byte test is always exact (only flags above a real zero can
// be false).
template <unsigned char... Buscados>
std::size_t primeroDe(const char* p, std::size_t n) {
    constexpr std::uint64_t kUnos = 0x0101010101010101ULL;
    constexpr std::uint64_t kAltos = 0x8080808080808080ULL;
    std::size_t i = 0;
    if constexpr (vectores::kEnRegistros) {
        for (; i + vectores::kAncho <= n; i += vectores::kAncho) {
            const vectores::Vector v = vectores::cargar(p + i);
            if (const unsigned b = vectores::bits((vectores::iguales(v, Buscados) | ...))) {
                return i + vectores::primera(b);
            }
        }
    }
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= n; i += 8) {
            std::uint64_t v = 0;
            std::memcpy(&v, p + i, 8);
            std::uint64_t marcas = 0;
            ((marcas |= ((v ^ (kUnos * Buscados)) - kUnos) & ~(v ^ (kUnos * Buscados)) & kAltos),
             ...);
            if (marcas != 0) {
                return i + static_cast<std::size_t>(std::countr_zero(marcas)) / 8;
            }
        }
    }
    for (; i < n; ++i) {
        if (((static_cast<unsigned char>(p[i]) == Buscados) || ...)) {
            return i;
        }
    }
    return n;
}

// The bytes of v equal to c, as their high bits, with no false ones.
constexpr std::uint64_t iguales(std::uint64_t v, unsigned char c) {
    constexpr std::uint64_t kBajos = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t x = v ^ (0x0101010101010101ULL * c);
    return ~(((x & kBajos) + kBajos) | x | kBajos);
}

// Sixteen or eight bytes at a time from the end: the place of the last of the given bytes before
// n, or n when there is none. Exact equality marks (no false ones), so the highest is the last.
template <unsigned char... Buscados>
std::size_t ultimoDe(const char* p, std::size_t n) {
    std::size_t i = n;
    if constexpr (vectores::kEnRegistros) {
        for (; i >= vectores::kAncho; i -= vectores::kAncho) {
            const vectores::Vector v = vectores::cargar(p + i - vectores::kAncho);
            if (const unsigned b = vectores::bits((vectores::iguales(v, Buscados) | ...))) {
                return i - vectores::kAncho + static_cast<std::size_t>(31 - std::countl_zero(b));
            }
        }
    }
    if constexpr (std::endian::native == std::endian::little) {
        for (; i >= 8; i -= 8) {
            std::uint64_t v = 0;
            std::memcpy(&v, p + i - 8, 8);
            std::uint64_t marcas = 0;
            ((marcas |= iguales(v, Buscados)), ...);
            if (marcas != 0) {
                return i - 8 + static_cast<std::size_t>(63 - std::countl_zero(marcas)) / 8;
            }
        }
    }
    while (i > 0) {
        --i;
        if (((static_cast<unsigned char>(p[i]) == Buscados) || ...)) {
            return i;
        }
    }
    return n;
}

namespace memoria {

// Raw memory of at least n bytes, not cleared; nullptr when there is none. agrandar keeps the
// first `usados` bytes.
void* reservar(std::size_t n);
void* agrandar(void* p, std::size_t capacidad, std::size_t usados, std::size_t nueva);
void liberar(void* p, std::size_t capacidad);

}  // namespace memoria

// A growing array of plain values that never clears what it has not written.
template <typename T>
class Bloque {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    Bloque() = default;
    ~Bloque() { liberar(); }
    Bloque(const Bloque& otro) { *this = otro; }
    Bloque& operator=(const Bloque& otro) {
        if (this != &otro) {
            tamano_ = 0;
            reservar(otro.tamano_);
            if (otro.tamano_ > 0) {
                std::memcpy(datos_, otro.datos_, otro.tamano_ * sizeof(T));
            }
            tamano_ = otro.tamano_;
        }
        return *this;
    }
    Bloque(Bloque&& otro) noexcept { intercambiar(otro); }
    Bloque& operator=(Bloque&& otro) noexcept {
        Bloque().intercambiar(*this);
        intercambiar(otro);
        return *this;
    }

    T* data() { return datos_; }
    const T* data() const { return datos_; }
    std::size_t size() const { return tamano_; }
    T& operator[](std::size_t i) { return datos_[i]; }
    const T& operator[](std::size_t i) const { return datos_[i]; }

    // Room for n values in all, kept without moving while the array stays within it.
    void reservar(std::size_t n) {
        if (n <= capacidad_) {
            return;
        }
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_alloc();
        }
        void* nuevo = datos_ == nullptr ? memoria::reservar(n * sizeof(T))
                                        : memoria::agrandar(datos_, capacidad_ * sizeof(T),
                                                            tamano_ * sizeof(T), n * sizeof(T));
        if (nuevo == nullptr) {
            throw std::bad_alloc();
        }
        datos_ = static_cast<T*>(nuevo);
        capacidad_ = n;
    }

    // Makes k more values at the end, not yet written, and returns the first of them.
    T* agrandar(std::size_t k) {
        if (k > capacidad_ - tamano_) {
            reservar(std::max(tamano_ + k, capacidad_ + capacidad_ / 2 + 16));
        }
        T* nuevos = datos_ + tamano_;
        tamano_ += k;
        return nuevos;
    }
    void agregar(const T& valor) { *agrandar(1) = valor; }
    void agregar(const T* valores, std::size_t k) {
        if (k > 0) {
            std::memcpy(agrandar(k), valores, k * sizeof(T));
        }
    }
    // Keeps the first n values.
    void recortar(std::size_t n) {
        if (n < tamano_) {
            tamano_ = n;
        }
    }
    // No values and no memory.
    void liberar() {
        if (datos_ != nullptr) {
            memoria::liberar(datos_, capacidad_ * sizeof(T));
        }
        datos_ = nullptr;
        tamano_ = 0;
        capacidad_ = 0;
    }

  private:
    void intercambiar(Bloque& otro) noexcept {
        std::swap(datos_, otro.datos_);
        std::swap(tamano_, otro.tamano_);
        std::swap(capacidad_, otro.capacidad_);
    }

    T* datos_ = nullptr;
    std::size_t tamano_ = 0;
    std::size_t capacidad_ = 0;
};

}  // namespace tralmix
