#pragma once

// The progress window of a Win32 run, as the Qt window has its dialog: the file's name, the
// phase and its share, a bar, and "Cancelar" (Escape and Alt+F4 too) over the main window. It
// shows only once the run has lasted a while; until then the busy run has only its pointer.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "extract/mensajes.h"

namespace tralmix::win {

class VentanaProgreso {
  public:
    // The id of the owner's timer that brings the window: its WM_TIMER goes to vencido().
    static constexpr UINT_PTR kTemporizador = 1;

    // alCancelar: the person asked the run to stop.
    VentanaProgreso(HINSTANCE instancia, std::function<void()> alCancelar);
    ~VentanaProgreso();
    VentanaProgreso(const VentanaProgreso&) = delete;
    VentanaProgreso& operator=(const VentanaProgreso&) = delete;

    // The run began processing ruta: the window comes after demora, over dueno.
    void empezar(HWND dueno, const std::u16string& ruta, std::chrono::milliseconds demora);
    void avanzar(Fase fase, std::uint64_t hecho, std::uint64_t total);
    // The stop was asked for: the window says so, without its button, until the run ends.
    void cancelando();
    // A box is coming, or the run ended: the window goes; after a box the run's next report
    // waits for the timer again.
    void ocultar();
    // The owner's timer id came due.
    void vencido(UINT_PTR id);

  private:
    static LRESULT CALLBACK procedimiento(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void crear();
    void mostrar();

    HINSTANCE instancia_;
    std::function<void()> alCancelar_;
    HWND dueno_ = nullptr;
    HWND ventana_ = nullptr;
    HWND texto_ = nullptr;
    HWND barra_ = nullptr;
    bool ocupado_ = false;
    Progreso progreso_;
};

}  // namespace tralmix::win
