#pragma once

#include <future>
#include <system_error>

namespace tralmix {

// Runs esta on this thread and otra on a second one at the same time; when it returns both have
// ended, and an exception of either has been passed on (esta's first). Without a second thread
// to be had, one after the other. The two must not touch the same data unless both only read.
template <typename Esta, typename Otra>
void aLaVez(Esta&& esta, Otra&& otra) {
    std::future<void> segunda;
    try {
        segunda = std::async(std::launch::async, [&otra] { otra(); });
    } catch (const std::system_error&) {
        esta();
        otra();
        return;
    }
    esta();  // if it throws, the future's destructor still waits for otra
    segunda.get();
}

}  // namespace tralmix
