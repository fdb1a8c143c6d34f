#pragma once

namespace tralmix {

// Asks the processor to start loading memory that is read a little later; walking short texts
// scattered over the heap in sorted order otherwise waits on every one of them.
inline void anticipar(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

}  // namespace tralmix
