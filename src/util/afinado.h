#pragma once

// The engine's tuning constants, in one place. None changes what a run produces.

#include <cstddef>
#include <cstdint>

namespace tralmix::afinado {

// Files are read and written a piece of this size at a time; what a run keeps beyond that is its
// elements only.
inline constexpr std::size_t kTrozo = std::size_t{1} << 20;
// The piece for a file of the given size: a small file is read whole into a buffer its own size
// (one byte over, so the end shows at once), not into a full piece filled first.
constexpr std::size_t trozoPara(std::uint64_t tamano) {
    return tamano < kTrozo ? static_cast<std::size_t>(tamano) + 1 : kTrozo;
}

// Texts scattered over a large block are fetched this many elements ahead of their use.
inline constexpr std::size_t kAdelanto = 16;

// Blocks from this size on are mapped on their own, on 2 MB pages where the system gives them:
// on virtual machines a fresh page costs far more than the work done in it.
inline constexpr std::size_t kBloqueGrande = std::size_t{1} << 20;

// Pasted messages from this size on are read again in two parts at once: below it a second thread
// costs more than it saves.
inline constexpr std::uint64_t kEnDosPartes = std::uint64_t{4} << 20;
// Where the second part starts, in 1/100ths of the file: from the middle when both parts are read
// after the working file; from a quarter when the second starts while this thread still writes
// the working file, so that both end about together.
inline constexpr unsigned kCorteDespues = 50;
inline constexpr unsigned kCorteDurante = 25;

// The sort: stretches up to this many elements are sorted by keys (16 bytes each), their texts
// few enough to stay in the cache while compared; larger ones
// are first split in place by their next byte.
inline constexpr std::size_t kTramoConClaves = std::size_t{1} << 10;
// Arrays from this size on are sorted by both cores, once split by their first byte.
inline constexpr std::size_t kOrdenEnDos = std::size_t{1} << 18;

}  // namespace tralmix::afinado
