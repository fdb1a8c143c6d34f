#pragma once

// The one failure type, from the file layer up to the runner: the system's error code and the
// reason in Spanish, and, once a step of the run has said it, what failed and on which file. A
// stop the user asked for travels the same way; the runner tells the person of the one and not of
// the other (extract/fin.h).

#include <string>
#include <string_view>
#include <utility>

namespace tralmix {

struct Fallo {
    // Codes of our own beside the system's, which are all positive.
    static constexpr int kPropio = -1;        // the reason is the run's, not the system's
    static constexpr int kInterrumpido = -2;  // the user stopped the run

    int error = 0;          // errno, GetLastError() on Windows, or one of ours; 0: no failure
    std::u16string motivo;  // why, in Spanish
    std::u16string accion;  // what failed ("No se pudo leer el archivo:"); empty until a step says
    std::u16string ruta;    // the file it failed on

    Fallo() = default;
    Fallo(int codigo, std::u16string porque) : error(codigo), motivo(std::move(porque)) {}

    explicit operator bool() const { return error != 0; }
    bool interrumpido() const { return error == kInterrumpido; }

    static Fallo interrupcion() { return {kInterrumpido, u"se detuvo a petición del usuario"}; }
    static Fallo propio(std::u16string_view porque) { return {kPropio, std::u16string(porque)}; }

    // The failure as met doing que on the file donde; one that says so already keeps its own, and
    // no failure stays none.
    Fallo en(std::u16string_view que, std::u16string_view donde) && {
        if (error != 0 && accion.empty()) {
            accion = que;
            ruta = donde;
        }
        return std::move(*this);
    }
};

}  // namespace tralmix
