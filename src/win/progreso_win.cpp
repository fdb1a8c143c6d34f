#include "win/progreso_win.h"

#include <commctrl.h>

#include <utility>

#include "util/ancho.h"
#include "ventana/diseno.h"

namespace tralmix::win {
namespace {

constexpr wchar_t kClase[] = L"TralmixProgreso";

}  // namespace

VentanaProgreso::VentanaProgreso(HINSTANCE instancia, std::function<void()> alCancelar)
    : instancia_(instancia), alCancelar_(std::move(alCancelar)) {
    WNDCLASSEXW clase{};
    clase.cbSize = sizeof clase;
    clase.lpfnWndProc = &VentanaProgreso::procedimiento;
    clase.hInstance = instancia_;
    clase.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    clase.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    clase.lpszClassName = kClase;
    ::RegisterClassExW(&clase);
}

VentanaProgreso::~VentanaProgreso() {
    ocultar();
}

void VentanaProgreso::empezar(HWND dueno, const std::u16string& ruta,
                              std::chrono::milliseconds demora) {
    dueno_ = dueno;
    ocupado_ = true;
    progreso_.empezar(ruta);
    ::SetTimer(dueno_, kTemporizador, static_cast<UINT>(demora.count()), nullptr);
}

void VentanaProgreso::avanzar(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    progreso_.avanzar(fase, hecho, total);
    if (ventana_ != nullptr) {
        mostrar();
    }
}

void VentanaProgreso::cancelando() {
    progreso_.cancelando = true;
    if (ventana_ != nullptr) {
        ::EnableWindow(::GetDlgItem(ventana_, IDCANCEL), FALSE);
        mostrar();
    }
}

void VentanaProgreso::ocultar() {
    if (dueno_ != nullptr) {
        ::KillTimer(dueno_, kTemporizador);
    }
    ocupado_ = false;
    if (ventana_ != nullptr) {
        ::DestroyWindow(ventana_);
        ventana_ = nullptr;
    }
}

void VentanaProgreso::vencido(UINT_PTR id) {
    if (id == kTemporizador) {
        ::KillTimer(dueno_, kTemporizador);
        mostrar();
    }
}

void VentanaProgreso::crear() {
    const HDC pantalla = ::GetDC(nullptr);
    const int ppp = ::GetDeviceCaps(pantalla, LOGPIXELSY);
    ::ReleaseDC(nullptr, pantalla);
    const int ancho = vista::pixeles(5400, ppp);
    const int alto = vista::pixeles(1740, ppp);
    RECT marco{0, 0, ancho, alto};
    constexpr DWORD kEstilo = WS_POPUP | WS_CAPTION;
    ::AdjustWindowRectEx(&marco, kEstilo, FALSE, WS_EX_DLGMODALFRAME);
    RECT principal{};
    ::GetWindowRect(dueno_, &principal);
    const int w = marco.right - marco.left;
    const int h = marco.bottom - marco.top;
    const std::wstring titulo = ::tralmix::ancho(vista::kTituloProgreso);
    ventana_ = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kClase, titulo.c_str(), kEstilo,
                                 (principal.left + principal.right - w) / 2,
                                 (principal.top + principal.bottom - h) / 2, w, h, dueno_, nullptr,
                                 instancia_, this);
    const auto fuente = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
    const int m = vista::pixeles(180, ppp);
    texto_ = ::CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, m,
                               m, ancho - 2 * m, vista::pixeles(480, ppp), ventana_, nullptr,
                               instancia_, nullptr);
    ::SendMessageW(texto_, WM_SETFONT, fuente, FALSE);
    barra_ = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, m,
                               vista::pixeles(720, ppp), ancho - 2 * m, vista::pixeles(300, ppp),
                               ventana_, nullptr, instancia_, nullptr);
    ::SendMessageW(barra_, PBM_SETRANGE32, 0, 1000);
    const HWND cancelar = ::CreateWindowExW(
        0, WC_BUTTONW, ::tralmix::ancho(vista::kTextoCancelar).c_str(),
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, ancho - m - vista::pixeles(1200, ppp),
        vista::pixeles(1200, ppp), vista::pixeles(1200, ppp), vista::pixeles(360, ppp), ventana_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instancia_, nullptr);
    ::SendMessageW(cancelar, WM_SETFONT, fuente, FALSE);
    if (progreso_.cancelando) {
        ::EnableWindow(cancelar, FALSE);
    }
}

void VentanaProgreso::mostrar() {
    if (!ocupado_) {
        return;
    }
    if (ventana_ == nullptr) {
        crear();
    }
    // The bar shows no number: the text gives the share.
    ::SetWindowTextW(texto_, ancho(progreso_.texto(true)).c_str());
    ::SendMessageW(barra_, PBM_SETPOS, static_cast<WPARAM>(progreso_.milesimas.value_or(0)), 0);
    if (!::IsWindowVisible(ventana_)) {
        ::ShowWindow(ventana_, SW_SHOWNORMAL);
        ::SetFocus(::GetDlgItem(ventana_, IDCANCEL));
    }
}

LRESULT CALLBACK VentanaProgreso::procedimiento(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* creacion = reinterpret_cast<const CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(creacion->lpCreateParams));
    }
    auto* propia = reinterpret_cast<VentanaProgreso*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // "Cancelar", Escape (IDCANCEL from the dialog keys) and Alt+F4 stop the run; the window says
    // so and stays until the run has stopped.
    if (propia != nullptr && ((msg == WM_COMMAND && LOWORD(wp) == IDCANCEL) ||
                              (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_CLOSE))) {
        if (propia->alCancelar_) {
            propia->alCancelar_();
        }
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace tralmix::win
