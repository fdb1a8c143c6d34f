#pragma once

// principal in Win32: the program's only window, with real controls at the places the shared
// layout gives (app/diseno.h), the gradient painted in WM_PAINT, and the processing run on a
// worker thread behind a progress window.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/puerto.h"

namespace tralmix::win {

// Messages the worker sends the window: a call to make on the window's thread (wParam 0,
// lParam the std::function), how far the run is (wParam the phase, lParam thousandths), and its
// end (wParam the Desenlace).
inline constexpr UINT kMsgLlamar = WM_APP + 1;
inline constexpr UINT kMsgProgreso = WM_APP + 2;
inline constexpr UINT kMsgFin = WM_APP + 3;

class Principal;

// The window as the processing run sees it. The run calls it from its worker thread; whatever
// touches a control or shows a box is carried over to the window's thread and waited for.
class PuertoWin final : public Puerto {
  public:
    explicit PuertoWin(Principal& ventana) : ventana_(ventana) {}

    std::u16string textoRuta() const override;
    void ponerTextoRuta(const std::u16string& texto) override;
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override;
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) override;
    std::u16string carpetaPrograma() const override;
    std::uintptr_t ventana() const override;
    void abrirArchivo(const std::u16string& ruta) override;
    Fecha hoy() const override;
    std::u16string carpetaResultado() const override;
    std::u16string carpetaTemporal() const override;
    void progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) override;
    bool cancelado() const override;

    // A new run: nothing asked to stop, no progress shown yet.
    void reiniciar();
    void cancelar() { cancelar_ = true; }

  private:
    // Runs f on the window's thread and waits for it.
    void enVentana(const std::function<void()>& f) const;

    Principal& ventana_;
    std::atomic<bool> cancelar_{false};
    std::atomic<int> ultimoVisto_{-1};  // phase * 1001 + thousandths last sent to the window
};

class Principal {
  public:
    explicit Principal(HINSTANCE instancia);
    ~Principal();
    Principal(const Principal&) = delete;
    Principal& operator=(const Principal&) = delete;

    // Creates the window, centred on the screen, and shows it; false when the system refused.
    bool crear(int mostrar);
    // A file named on the command line or dropped on the window: a run without the dialog.
    void procesar(std::u16string ruta);

    HWND hwnd() const { return hwnd_; }

  private:
    static LRESULT CALLBACK procedimiento(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK procedimientoCaja(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                              UINT_PTR id, DWORD_PTR datos);
    LRESULT atender(UINT msg, WPARAM wp, LPARAM lp);

    void Form_Load();
    void crearControles();
    void pintar();
    void pintarBoton(const DRAWITEMSTRUCT& dibujo);
    void cmd_file01_Click();
    void Image1_Click();
    void imgAyuda_DblClick();

    // Starts a run on the worker thread unless one is under way.
    void iniciar(std::function<Desenlace()> corrida);
    void alTerminar();
    void mostrarProgreso(Fase fase, int milesimas);
    void ocultarProgreso();
    void crearProgreso();

    HINSTANCE instancia_;
    HWND hwnd_ = nullptr;
    HWND Text1_ = nullptr;
    HWND txtFile01_ = nullptr;
    HWND cmd_file01_ = nullptr;
    HWND imgAyuda_ = nullptr;
    HWND Image1_ = nullptr;
    HWND lblInfo_ = nullptr;
    HWND consejos_ = nullptr;
    HWND progreso_ = nullptr;
    HWND progresoTexto_ = nullptr;
    HWND progresoBarra_ = nullptr;
    HFONT fuenteInstrucciones_ = nullptr;
    HFONT fuenteEtiqueta_ = nullptr;
    HBRUSH fondo_ = nullptr;
    HCURSOR mano_ = nullptr;
    HICON icono_ = nullptr;
    HICON iconoAyuda_ = nullptr;
    HBITMAP logo_ = nullptr;
    int ppp_ = 96;

    Estado estado_;
    std::unique_ptr<PuertoWin> puerto_;
    std::thread trabajo_;  // joinable while a run is under way (until its end is handled)
    bool cerrarAlTerminar_ = false;
    ULONGLONG inicioProgreso_ = 0;

    friend class PuertoWin;
};

}  // namespace tralmix::win
