#include "util/memoria.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "util/afinado.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tralmix::memoria {

#if defined(__linux__)

namespace {

constexpr std::size_t kPagina2M = std::size_t{2} << 20;

std::size_t redondear(std::size_t n) {
    return (n + kPagina2M - 1) / kPagina2M * kPagina2M;
}

// A mapping of its own, aligned to 2 MB so that the system can back it with large pages.
void* mapear(std::size_t n) {
    const std::size_t largo = redondear(n);
    void* crudo = ::mmap(nullptr, largo + kPagina2M, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (crudo == MAP_FAILED) {
        return nullptr;
    }
    // The pages before the first 2 MB boundary and those past the block go back; the block is
    // reached from the mapping's own pointer, never made from a number.
    const auto inicio = reinterpret_cast<std::uintptr_t>(crudo);
    const std::size_t delante = (kPagina2M - inicio % kPagina2M) % kPagina2M;
    char* p = static_cast<char*>(crudo) + delante;
    if (delante > 0) {
        ::munmap(crudo, delante);
    }
    ::munmap(p + largo, kPagina2M - delante);
    ::madvise(p, largo, MADV_HUGEPAGE);  // a hint: where it is refused, small pages serve
    return p;
}

}  // namespace

void* reservar(std::size_t n) {
    return n >= afinado::kBloqueGrande ? mapear(n) : std::malloc(n);
}

void* agrandar(void* p, std::size_t capacidad, std::size_t usados, std::size_t nueva) {
    if (capacidad >= afinado::kBloqueGrande) {
        // The pages move with the mapping: nothing is copied, nothing is touched again.
        void* q = ::mremap(p, redondear(capacidad), redondear(nueva), MREMAP_MAYMOVE);
        if (q == MAP_FAILED) {
            return nullptr;
        }
        ::madvise(q, redondear(nueva), MADV_HUGEPAGE);
        return q;
    }
    if (nueva < afinado::kBloqueGrande) {
        return std::realloc(p, nueva);
    }
    void* q = mapear(nueva);
    if (q != nullptr) {
        std::memcpy(q, p, usados);
        std::free(p);
    }
    return q;
}

void liberar(void* p, std::size_t capacidad) {
    if (capacidad >= afinado::kBloqueGrande) {
        ::munmap(p, redondear(capacidad));
    } else {
        std::free(p);
    }
}

#else

void* reservar(std::size_t n) {
    return std::malloc(n);
}

void* agrandar(void* p, std::size_t, std::size_t, std::size_t nueva) {
    return std::realloc(p, nueva);
}

void liberar(void* p, std::size_t) {
    std::free(p);
}

#endif

}  // namespace tralmix::memoria
