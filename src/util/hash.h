#pragma once

// The hash of the engine's tables of texts.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace tralmix {

// 64 bits on every platform (the library's own hash has 32 on 32-bit ones): eight bytes at a
// time, then a full mix, so that the low bits pick the place and the high ones tell texts apart.
inline std::uint64_t hashDe(std::string_view t) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ t.size();
    std::size_t i = 0;
    for (; i + 8 <= t.size(); i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, t.data() + i, 8);
        h = (h ^ w) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 32;
    }
    std::uint64_t w = 0;
    if (i < t.size() && t.size() >= 8) {
        // The last eight bytes, some hashed already: one load instead of a byte at a time.
        std::memcpy(&w, t.data() + t.size() - 8, 8);
    } else {
        for (; i < t.size(); ++i) {
            w = (w << 8) | static_cast<unsigned char>(t[i]);
        }
    }
    h ^= w;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 33;
    return h;
}

}  // namespace tralmix
