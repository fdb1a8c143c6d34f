// The window's controls, made at the places the shared layout gives, and what the window paints
// itself: the gradient and the face of "...".

#include "win/principal_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "util/ancho.h"
#include "ventana/bandas.h"
#include "ventana/diseno.h"
#include "win/recursos.h"

namespace tralmix::win {
namespace {

HFONT crearFuente(const vista::Fuente& f, int ppp) {
    const int alto = -static_cast<int>(f.puntos * ppp / 72.0 + 0.5);
    return ::CreateFontW(alto, 0, 0, 0, f.negrita ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, ancho(f.familia).c_str());
}

void enviarFuente(HWND control, HFONT fuente) {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fuente), FALSE);
}

}  // namespace

void Principal::crearControles() {
    auto lugar = [this](const vista::Lugar& l) {
        return RECT{vista::pixeles(l.izquierda, ppp_), vista::pixeles(l.arriba, ppp_),
                    vista::pixeles(l.ancho, ppp_), vista::pixeles(l.alto, ppp_)};
    };
    auto control = [&](DWORD extendido, const wchar_t* clase, const std::wstring& texto,
                       DWORD estilo, const vista::Lugar& l, int id) {
        const RECT r = lugar(l);
        return ::CreateWindowExW(extendido, clase, texto.c_str(), WS_CHILD | WS_VISIBLE | estilo,
                                 r.left, r.top, r.right, r.bottom, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instancia_,
                                 nullptr);
    };
    const auto fuentePorOmision = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    fuenteInstrucciones_ = crearFuente(vista::kFuenteInstrucciones, ppp_);
    fuenteEtiqueta_ = crearFuente(vista::kFuenteEtiqueta, ppp_);

    // Created from the bottom of the stacking order to the top.
    Text1_ = control(WS_EX_CLIENTEDGE, WC_EDITW, ancho(vista::kInstrucciones),
                     ES_MULTILINE | ES_READONLY | WS_TABSTOP, vista::kText1, kIdInstrucciones);
    enviarFuente(Text1_, fuenteInstrucciones_);
    ::SetWindowSubclass(Text1_, &Principal::procedimientoInstrucciones, 2, 0);

    txtFile01_ = control(WS_EX_CLIENTEDGE, WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP,
                         vista::kTxtFile01, kIdRuta);
    enviarFuente(txtFile01_, fuentePorOmision);
    ::SetWindowSubclass(txtFile01_, &Principal::procedimientoCaja, 1,
                        reinterpret_cast<DWORD_PTR>(this));

    // Owner-drawn, so that the button shows its own face colour under any visual style.
    cmd_file01_ = control(0, WC_BUTTONW, ancho(vista::kTextoBoton), BS_OWNERDRAW | WS_TABSTOP,
                          vista::kCmdFile01, kIdBoton);
    enviarFuente(cmd_file01_, fuentePorOmision);

    // Reached by Tab too: a keyboard opens the help with Enter or Space on it (or F1 anywhere).
    imgAyuda_ =
        control(0, WC_STATICW, L"", SS_ICON | SS_NOTIFY | WS_TABSTOP, vista::kImgAyuda, kIdAyuda);
    ::SetWindowSubclass(imgAyuda_, &Principal::procedimientoAyuda, 3,
                        reinterpret_cast<DWORD_PTR>(this));
    iconoAyuda_ = static_cast<HICON>(
        ::LoadImageW(instancia_, MAKEINTRESOURCEW(IDI_AYUDA), IMAGE_ICON, 32, 32, 0));
    ::SendMessageW(imgAyuda_, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(iconoAyuda_));

    Image1_ = control(0, WC_STATICW, L"", SS_BITMAP | SS_NOTIFY, vista::kImage1, kIdLogo);
    logo_ = static_cast<HBITMAP>(
        ::LoadImageW(instancia_, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
    ::SendMessageW(Image1_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_));

    lblInfo_ =
        control(0, WC_STATICW, ancho(vista::kTextoEtiqueta), SS_LEFT, vista::kLblInfo, kIdEtiqueta);
    enviarFuente(lblInfo_, fuenteEtiqueta_);

    // The report panel, hidden until a run makes a report: its label (Alt+I goes to the text, the
    // next control in the Tab order) and the text, read only, wrapped and scrolled.
    lblResumen_ = control(0, WC_STATICW, ancho(vista::kEtiquetaResumen), SS_LEFT,
                          vista::kLblResumen, kIdEtiquetaResumen);
    enviarFuente(lblResumen_, fuenteEtiqueta_);
    txtResumen_ = control(WS_EX_CLIENTEDGE, WC_EDITW, L"",
                          ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP, vista::kTxtResumen,
                          kIdResumen);
    enviarFuente(txtResumen_, fuentePorOmision);
    ::SetWindowSubclass(txtResumen_, &Principal::procedimientoResumen, 4, 0);
    ::ShowWindow(lblResumen_, SW_HIDE);
    ::ShowWindow(txtResumen_, SW_HIDE);

    // Tab order (the order of the siblings): the button, the path box, the instructions, the help,
    // the report when it shows.
    constexpr UINT kSoloOrden = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(cmd_file01_, HWND_TOP, 0, 0, 0, 0, kSoloOrden);
    ::SetWindowPos(txtFile01_, cmd_file01_, 0, 0, 0, 0, kSoloOrden);
    ::SetWindowPos(Text1_, txtFile01_, 0, 0, 0, 0, kSoloOrden);
    ::SetWindowPos(imgAyuda_, Text1_, 0, 0, 0, 0, kSoloOrden);
    ::SetWindowPos(lblResumen_, imgAyuda_, 0, 0, 0, 0, kSoloOrden);
    ::SetWindowPos(txtResumen_, lblResumen_, 0, 0, 0, 0, kSoloOrden);

    consejos_ =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instancia_, nullptr);
    const std::wstring consejoLogo = ancho(vista::kConsejoLogo);
    const std::wstring consejoBoton = ancho(vista::kConsejoBoton);
    const std::wstring consejoAyuda = ancho(vista::kConsejoAyuda);
    for (const auto& [destino, texto] :
         {std::pair{cmd_file01_, &consejoBoton}, std::pair{imgAyuda_, &consejoAyuda},
          std::pair{Image1_, &consejoLogo}}) {
        TTTOOLINFOW herramienta{};
        herramienta.cbSize = TTTOOLINFOW_V2_SIZE;
        herramienta.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        herramienta.hwnd = hwnd_;
        herramienta.uId = reinterpret_cast<UINT_PTR>(destino);
        herramienta.lpszText = const_cast<wchar_t*>(texto->c_str());
        ::SendMessageW(consejos_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&herramienta));
    }
}

void Principal::pintar() {
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(hwnd_, &ps);
    RECT cliente{};
    ::GetClientRect(hwnd_, &cliente);
    // Rows the bands leave out keep the window's own background colour; the gradient covers the
    // controls' area only, and the report panel below it has a ground of its own.
    ::FillRect(dc, &cliente, fondo_);
    const int alto = vista::pixeles(vista::kAltoClienteTwips, ppp_);
    if (conResumen_ && cliente.bottom > alto) {
        const RECT panel{0, alto, cliente.right, cliente.bottom};
        ::FillRect(dc, &panel, fondoResumen_);
    }
    for (const Banda& b : bandasDegradado(cliente.right, std::min<int>(cliente.bottom, alto),
                                          vista::kDegradadoInicio, vista::kDegradadoFin)) {
        const HBRUSH pincel = ::CreateSolidBrush(RGB(b.rojo, b.verde, b.azul));
        const RECT banda{0, b.arriba, b.derecha, b.abajo};
        ::FillRect(dc, &banda, pincel);
        ::DeleteObject(pincel);
    }
    ::EndPaint(hwnd_, &ps);
}

void Principal::pintarBoton(const DRAWITEMSTRUCT& d) {
    RECT r = d.rcItem;
    const HBRUSH cara = ::CreateSolidBrush(colorDe(vista::kCaraBoton));
    ::FillRect(d.hDC, &r, cara);
    ::DeleteObject(cara);
    const bool pulsado = (d.itemState & ODS_SELECTED) != 0;
    ::DrawEdge(d.hDC, &r, pulsado ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    if (pulsado) {
        ::OffsetRect(&r, 1, 1);
    }
    ::SetBkMode(d.hDC, TRANSPARENT);
    ::SetTextColor(d.hDC, ::GetSysColor(COLOR_BTNTEXT));
    const std::wstring texto = ancho(vista::kTextoBoton);
    ::DrawTextW(d.hDC, texto.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if ((d.itemState & ODS_FOCUS) != 0) {
        ::InflateRect(&r, -1, -1);
        ::DrawFocusRect(d.hDC, &r);
    }
}

}  // namespace tralmix::win
