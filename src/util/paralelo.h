#pragma once

// The engine's one way to use a second core: work handed to another thread, which starts at
// once and is waited for by esperar() or, at the latest, by the destructor. Where no second
// thread can be had, esperar() does the work itself.

#include <functional>
#include <future>
#include <system_error>
#include <utility>

namespace tralmix {

class EnSegundoPlano {
  public:
    EnSegundoPlano() = default;
    ~EnSegundoPlano() {
        if (futuro_.valid()) {
            futuro_.wait();
        }
    }
    EnSegundoPlano(const EnSegundoPlano&) = delete;
    EnSegundoPlano& operator=(const EnSegundoPlano&) = delete;

    // The work must not touch what this thread touches meanwhile, unless both only read.
    void empezar(std::function<void()> trabajo) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
        // Without threads std::async cannot start the work and then waits for it forever.
        pendiente_ = std::move(trabajo);
#else
        try {
            futuro_ = std::async(std::launch::async, trabajo);
        } catch (const std::system_error&) {
            pendiente_ = std::move(trabajo);
        }
#endif
        empezado_ = true;
    }
    bool empezado() const {
        return empezado_;
    }

    // Returns once the work has ended; an exception it threw comes out here.
    void esperar() {
        if (pendiente_) {
            std::exchange(pendiente_, {})();
        }
        if (futuro_.valid()) {
            futuro_.get();
        }
    }

  private:
    std::future<void> futuro_;
    std::function<void()> pendiente_;
    bool empezado_ = false;
};

}  // namespace tralmix
