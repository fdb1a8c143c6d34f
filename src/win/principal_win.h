#pragma once

// principal in Win32: the program's only window, with real controls at the places the shared
// layout gives (ventana/diseno.h), the gradient painted in WM_PAINT, and the processing run on the
// engine's Corredor behind a progress window (progreso_win.h).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "extract/corredor.h"
#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/puerto.h"
#include "ventana/bandas.h"
#include "win/progreso_win.h"

namespace tralmix::win {

// Control identifiers, in the order of the tab index.
enum : int {
    kIdBoton = 100,
    kIdRuta,
    kIdEtiqueta,
    kIdInstrucciones,
    kIdAyuda,
    kIdLogo,
    kIdEtiquetaResumen,
    kIdResumen,
};

// A colour of the shared layout as GDI takes it: the same layout, red in the lowest byte.
inline COLORREF colorDe(Color c) {
    return static_cast<COLORREF>(c);
}

// The Corredor asks the window's thread to carry out what the run is waiting for.
inline constexpr UINT kMsgCorredor = WM_APP + 1;
// Files were dropped on the window (kept in soltados_).
inline constexpr UINT kMsgSoltado = WM_APP + 2;

class Principal;

// The window as the processing run sees it, on the window's own thread (the Corredor carries the
// run's calls there).
class PuertoWin final : public Puerto {
  public:
    explicit PuertoWin(Principal& ventana) : ventana_(ventana) {}

    std::u16string textoRuta() const override;
    void ponerTextoRuta(const std::u16string& texto) override;
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override;
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) override;
    std::uintptr_t ventana() const override;
    std::u16string abrirArchivo(const std::u16string& ruta) override;
    void informe(const Informe& informe) override;

  private:
    Principal& ventana_;
};

class Principal {
  public:
    explicit Principal(HINSTANCE instancia);
    ~Principal();
    Principal(const Principal&) = delete;
    Principal& operator=(const Principal&) = delete;

    // Creates the window, centred on the screen, and shows it; false when the system refused.
    bool crear(int mostrar);
    // Files named on the command line or dropped on the window: one run on all of them without
    // the dialog, or their refusal (naming the file a run would not take).
    void entregar(const std::vector<std::u16string>& rutas);

    HWND hwnd() const { return hwnd_; }
    // How its runs show their progress (main takes it from the environment).
    void ajustarAvance(const AjustesAvance& ajustes) { estado_.avance = ajustes; }

    // The window's own keys while it is active, whichever control has the focus: Shift+F10 or
    // the context-menu key open its menu, at its middle; F1 opens the help. True when m was one.
    bool teclaDeVentana(const MSG& m);

  private:
    static LRESULT CALLBACK procedimiento(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK procedimientoCaja(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                              UINT_PTR id, DWORD_PTR datos);
    static LRESULT CALLBACK procedimientoInstrucciones(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                       UINT_PTR id, DWORD_PTR datos);
    static LRESULT CALLBACK procedimientoResumen(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                 UINT_PTR id, DWORD_PTR datos);
    static LRESULT CALLBACK procedimientoAyuda(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                               UINT_PTR id, DWORD_PTR datos);
    LRESULT atender(UINT msg, WPARAM wp, LPARAM lp);

    void Form_Load();
    // The controls and the painting (controles_win.cpp).
    void crearControles();
    // A right-click, the context-menu key or Shift+F10 (donde is -1 from the keyboard).
    void menuContextual(LPARAM donde);
    // "Opciones de la lista…": the dialog, then the state and the registry, between runs only.
    void opcionesLista();
    void pintar();
    void pintarBoton(const DRAWITEMSTRUCT& dibujo);
    void cmd_file01_Click();
    // The report panel under the controls, the window grown to hold it; and back, when the next
    // run starts.
    void mostrarResumen(const std::u16string& texto);
    void ocultarResumen();
    // The window's size for its client area, with the panel or without.
    void ajustarAlto(bool conResumen);
    void Image1_Click();
    void imgAyuda_DblClick();

    // The desktop could not open destino (the help, the web site): the person is told.
    void abrir(const std::u16string& destino);
    // Asks the run to stop; the progress window says so until it has.
    void cancelar();

    HINSTANCE instancia_;
    HWND hwnd_ = nullptr;
    HWND Text1_ = nullptr;
    HWND txtFile01_ = nullptr;
    HWND cmd_file01_ = nullptr;
    HWND imgAyuda_ = nullptr;
    HWND Image1_ = nullptr;
    HWND lblInfo_ = nullptr;
    HWND lblResumen_ = nullptr;
    HWND txtResumen_ = nullptr;
    bool conResumen_ = false;
    HWND consejos_ = nullptr;
    HFONT fuenteInstrucciones_ = nullptr;
    HFONT fuenteEtiqueta_ = nullptr;
    HBRUSH fondo_ = nullptr;
    HBRUSH fondoResumen_ = nullptr;
    HCURSOR mano_ = nullptr;
    HICON icono_ = nullptr;
    HICON iconoAyuda_ = nullptr;
    HBITMAP logo_ = nullptr;
    int ppp_ = 96;

    Estado estado_;
    std::unique_ptr<PuertoWin> puerto_;
    std::unique_ptr<VentanaProgreso> progreso_;  // outlives the Corredor, which reports to it
    std::unique_ptr<Corredor> corredor_;
    bool cerrarAlTerminar_ = false;
    std::vector<std::u16string> soltados_;
    HWND foco_ = nullptr;  // the control with the focus when the window was last deactivated

    friend class PuertoWin;
};

}  // namespace tralmix::win
