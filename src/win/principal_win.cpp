#include "win/principal_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <utility>

#include "app/bandas.h"
#include "app/diseno.h"
#include "cli/plataforma.h"
#include "dialog/cfiledialog.h"
#include "dialog/selector_win.h"
#include "extract/proceso.h"
#include "util/ancho.h"
#include "util/cadenas.h"
#include "win/recursos.h"

namespace tralmix::win {
namespace {

constexpr wchar_t kClase[] = L"TralmixPrincipal";
constexpr wchar_t kClaseProgreso[] = L"TralmixProgreso";
constexpr DWORD kEstilo = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Control identifiers, in the order of the tab index.
enum : int { kIdBoton = 100, kIdRuta, kIdEtiqueta, kIdInstrucciones, kIdAyuda, kIdLogo };
constexpr int kIdCancelar = 200;

// Until a run has lasted this long its progress window stays hidden: short runs show nothing.

COLORREF colorDe(Color c) {
    // The same layout: red in the lowest byte.
    return static_cast<COLORREF>(c);
}

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

// ---- PuertoWin ----

void PuertoWin::enVentana(const std::function<void()>& f) const {
    const HWND hwnd = ventana_.hwnd_;
    if (::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId()) {
        f();
        return;
    }
    ::SendMessageW(hwnd, kMsgLlamar, 0, reinterpret_cast<LPARAM>(&f));
}

std::u16string PuertoWin::textoRuta() const {
    std::u16string texto;
    enVentana([&] {
        const int largo = ::GetWindowTextLengthW(ventana_.txtFile01_);
        std::wstring t(static_cast<std::size_t>(largo) + 1, L'\0');
        t.resize(
            static_cast<std::size_t>(::GetWindowTextW(ventana_.txtFile01_, t.data(), largo + 1)));
        texto = deAncho(t);
    });
    return texto;
}

void PuertoWin::ponerTextoRuta(const std::u16string& texto) {
    enVentana([&] { ::SetWindowTextW(ventana_.txtFile01_, ancho(texto).c_str()); });
}

void PuertoWin::mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) {
    enVentana([&] {
        ventana_.ocultarProgreso();
        // The style numbers are the system's own icon flags: 16 stop, 48 exclamation, 64
        // information, 0 none.
        ::MessageBoxW(ventana_.hwnd_, ancho(texto).c_str(), ancho(titulo).c_str(),
                      MB_OK | static_cast<UINT>(estilo));
    });
}

RespuestaDialogo PuertoWin::mostrarDialogo(const AjustesDialogo& ajustes) {
    RespuestaDialogo respuesta;
    enVentana([&] {
        SelectorWin selector;
        AvisoWin aviso;
        respuesta = tralmix::mostrarDialogo(selector, aviso, ajustes);
    });
    return respuesta;
}

std::u16string PuertoWin::carpetaPrograma() const {
    return cli::carpetaDelPrograma();
}

std::uintptr_t PuertoWin::ventana() const {
    return reinterpret_cast<std::uintptr_t>(ventana_.hwnd_);
}

void PuertoWin::abrirArchivo(const std::u16string& ruta) {
    const std::wstring archivo = ancho(ruta);
    const std::wstring carpeta = ancho(carpetaPrograma());
    enVentana([&] {
        ::ShellExecuteW(ventana_.hwnd_, L"Open", archivo.c_str(), L"", carpeta.c_str(),
                        SW_SHOWNORMAL);
    });
}

Fecha PuertoWin::hoy() const {
    return cli::fechaLocal();
}

std::u16string PuertoWin::carpetaResultado() const {
    // The profile folder, as for the command: the root of drive C: is closed to ordinary users.
    return cli::carpetaPersonal();
}

std::u16string PuertoWin::carpetaTemporal() const {
    return cli::carpetaTemporalSistema();
}

void PuertoWin::progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    const int f = static_cast<int>(fase);
    const int mil = milesimas(hecho, total).value_or(1000);
    // Only what changes what the user sees goes to the window.
    const int visto = f * 1001 + mil;
    if (ultimoVisto_.exchange(visto) == visto) {
        return;
    }
    ::PostMessageW(ventana_.hwnd_, kMsgProgreso, static_cast<WPARAM>(f), mil);
}

bool PuertoWin::cancelado() const {
    return cancelar_;
}

void PuertoWin::reiniciar() {
    cancelar_ = false;
    ultimoVisto_ = -1;
}

// ---- Principal ----

Principal::Principal(HINSTANCE instancia)
    : instancia_(instancia), puerto_(std::make_unique<PuertoWin>(*this)) {}

Principal::~Principal() {
    if (trabajo_.joinable()) {
        puerto_->cancelar();
        trabajo_.join();
    }
    for (HGDIOBJ objeto :
         {static_cast<HGDIOBJ>(fuenteInstrucciones_), static_cast<HGDIOBJ>(fuenteEtiqueta_),
          static_cast<HGDIOBJ>(fondo_), static_cast<HGDIOBJ>(logo_)}) {
        if (objeto != nullptr) {
            ::DeleteObject(objeto);
        }
    }
    if (iconoAyuda_ != nullptr) {
        ::DestroyIcon(iconoAyuda_);
    }
}

bool Principal::crear(int mostrar) {
    const HDC pantalla = ::GetDC(nullptr);
    ppp_ = ::GetDeviceCaps(pantalla, LOGPIXELSY);
    ::ReleaseDC(nullptr, pantalla);

    fondo_ = ::CreateSolidBrush(colorDe(vista::kFondo));
    icono_ = ::LoadIconW(instancia_, MAKEINTRESOURCEW(IDI_TRALMIX));
    mano_ = ::LoadCursorW(instancia_, MAKEINTRESOURCEW(IDC_MANO));

    WNDCLASSEXW clase{};
    clase.cbSize = sizeof clase;
    clase.style = CS_DBLCLKS;
    clase.lpfnWndProc = &Principal::procedimiento;
    clase.hInstance = instancia_;
    clase.hIcon = icono_;
    clase.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    clase.hbrBackground = fondo_;
    clase.lpszClassName = kClase;
    clase.hIconSm = icono_;
    ::RegisterClassExW(&clase);

    WNDCLASSEXW claseProgreso{};
    claseProgreso.cbSize = sizeof claseProgreso;
    claseProgreso.lpfnWndProc = &Principal::procedimiento;
    claseProgreso.hInstance = instancia_;
    claseProgreso.hCursor = clase.hCursor;
    claseProgreso.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    claseProgreso.lpszClassName = kClaseProgreso;
    ::RegisterClassExW(&claseProgreso);

    // The client area is fixed; the frame around it is whatever the system draws.
    RECT marco{0, 0, vista::pixeles(vista::kAnchoClienteTwips, ppp_),
               vista::pixeles(vista::kAltoClienteTwips, ppp_)};
    ::AdjustWindowRectEx(&marco, kEstilo, FALSE, 0);
    const int anchoVentana = marco.right - marco.left;
    const int altoVentana = marco.bottom - marco.top;
    RECT trabajo{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &trabajo, 0);
    const int x = trabajo.left + (trabajo.right - trabajo.left - anchoVentana) / 2;
    const int y = trabajo.top + (trabajo.bottom - trabajo.top - altoVentana) / 2;

    const std::wstring titulo = ancho(vista::kTitulo);
    hwnd_ = ::CreateWindowExW(0, kClase, titulo.c_str(), kEstilo, x, y, anchoVentana, altoVentana,
                              nullptr, nullptr, instancia_, this);
    if (hwnd_ == nullptr) {
        return false;
    }
    crearControles();
    Form_Load();
    ::DragAcceptFiles(hwnd_, TRUE);
    ::ShowWindow(hwnd_, mostrar);
    ::UpdateWindow(hwnd_);
    ::SetFocus(cmd_file01_);
    return true;
}

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

    txtFile01_ = control(WS_EX_CLIENTEDGE, WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP,
                         vista::kTxtFile01, kIdRuta);
    enviarFuente(txtFile01_, fuentePorOmision);
    ::SetWindowSubclass(txtFile01_, &Principal::procedimientoCaja, 1,
                        reinterpret_cast<DWORD_PTR>(this));

    // Owner-drawn, so that the button shows its own face colour under any visual style.
    cmd_file01_ = control(0, WC_BUTTONW, ancho(vista::kTextoBoton), BS_OWNERDRAW | WS_TABSTOP,
                          vista::kCmdFile01, kIdBoton);
    enviarFuente(cmd_file01_, fuentePorOmision);

    imgAyuda_ = control(0, WC_STATICW, L"", SS_ICON | SS_NOTIFY, vista::kImgAyuda, kIdAyuda);
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

    // Tab order (the order of the siblings): the button, the path box, the instructions.
    constexpr UINT kSoloOrden = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(cmd_file01_, HWND_TOP, 0, 0, 0, 0, kSoloOrden);
    ::SetWindowPos(txtFile01_, cmd_file01_, 0, 0, 0, 0, kSoloOrden);
    ::SetWindowPos(Text1_, txtFile01_, 0, 0, 0, 0, kSoloOrden);

    consejos_ =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instancia_, nullptr);
    const std::wstring consejoLogo = ancho(vista::consejoLogo());
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

void Principal::Form_Load() {
    cargarCarpetaTemporal(estado_, *puerto_);
}

void Principal::pintar() {
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(hwnd_, &ps);
    RECT cliente{};
    ::GetClientRect(hwnd_, &cliente);
    // Rows the bands leave out keep the window's own background colour.
    ::FillRect(dc, &cliente, fondo_);
    for (const Banda& b : bandasDegradado(cliente.right, cliente.bottom, vista::kDegradadoInicio,
                                          vista::kDegradadoFin)) {
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

void Principal::iniciar(std::function<Desenlace()> corrida) {
    // One run at a time: its message boxes and dialog keep the window's messages flowing.
    if (trabajo_.joinable()) {
        return;
    }
    puerto_->reiniciar();
    inicioProgreso_ = 0;
    const HWND hwnd = hwnd_;
    trabajo_ = std::thread([corrida = std::move(corrida), hwnd] {
        const Desenlace desenlace = corrida();
        ::PostMessageW(hwnd, kMsgFin, static_cast<WPARAM>(desenlace), 0);
    });
}

void Principal::cmd_file01_Click() {
    iniciar([this] { return ::tralmix::cmd_file01_Click(estado_, *puerto_); });
}

void Principal::procesar(std::u16string ruta) {
    iniciar([this, ruta = std::move(ruta)]() mutable {
        return procesarArchivo(estado_, *puerto_, std::move(ruta));
    });
}

void Principal::alTerminar() {
    if (trabajo_.joinable()) {
        trabajo_.join();
    }
    ocultarProgreso();
    if (cerrarAlTerminar_) {
        ::DestroyWindow(hwnd_);
    }
}

void Principal::Image1_Click() {
    const std::wstring sitio = ancho(vista::kSitioWeb);
    ::ShellExecuteW(hwnd_, nullptr, sitio.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Principal::imgAyuda_DblClick() {
    const std::u16string ayuda = conSeparador(cli::carpetaDelPrograma()) + vista::kArchivoAyuda;
    if (existeArchivo(ayuda)) {
        puerto_->abrirArchivo(ayuda);
    }
}

void Principal::crearProgreso() {
    const int ancho = vista::pixeles(5400, ppp_);
    const int alto = vista::pixeles(1500, ppp_);
    RECT marco{0, 0, ancho, alto};
    constexpr DWORD kEstiloProgreso = WS_POPUP | WS_CAPTION;
    ::AdjustWindowRectEx(&marco, kEstiloProgreso, FALSE, WS_EX_DLGMODALFRAME);
    RECT principal{};
    ::GetWindowRect(hwnd_, &principal);
    const int w = marco.right - marco.left;
    const int h = marco.bottom - marco.top;
    const std::wstring titulo = ::tralmix::ancho(vista::kTitulo);
    progreso_ = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kClaseProgreso, titulo.c_str(),
                                  kEstiloProgreso, (principal.left + principal.right - w) / 2,
                                  (principal.top + principal.bottom - h) / 2, w, h, hwnd_, nullptr,
                                  instancia_, this);
    const auto fuente = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const int m = vista::pixeles(180, ppp_);
    progresoTexto_ =
        ::CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_LEFT, m, m, ancho - 2 * m,
                          vista::pixeles(240, ppp_), progreso_, nullptr, instancia_, nullptr);
    enviarFuente(progresoTexto_, fuente);
    progresoBarra_ = ::CreateWindowExW(
        0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, m, vista::pixeles(480, ppp_),
        ancho - 2 * m, vista::pixeles(300, ppp_), progreso_, nullptr, instancia_, nullptr);
    ::SendMessageW(progresoBarra_, PBM_SETRANGE32, 0, 1000);
    const HWND cancelar = ::CreateWindowExW(
        0, WC_BUTTONW, L"Cancelar", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
        ancho - m - vista::pixeles(1200, ppp_), vista::pixeles(960, ppp_),
        vista::pixeles(1200, ppp_), vista::pixeles(360, ppp_), progreso_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdCancelar)), instancia_, nullptr);
    enviarFuente(cancelar, fuente);
}

void Principal::mostrarProgreso(Fase fase, int milesimas) {
    const ULONGLONG ahora = ::GetTickCount64();
    if (inicioProgreso_ == 0) {
        inicioProgreso_ = ahora;
    }
    if (progreso_ == nullptr) {
        if (ahora - inicioProgreso_ < static_cast<ULONGLONG>(kDemoraProgreso.count())) {
            return;
        }
        crearProgreso();
    }
    ::SetWindowTextW(progresoTexto_, ancho(nombreFase(fase)).c_str());
    ::SendMessageW(progresoBarra_, PBM_SETPOS, static_cast<WPARAM>(milesimas), 0);
    if (!::IsWindowVisible(progreso_)) {
        ::ShowWindow(progreso_, SW_SHOWNORMAL);
    }
}

void Principal::ocultarProgreso() {
    if (progreso_ != nullptr) {
        ::DestroyWindow(progreso_);
        progreso_ = nullptr;
    }
    // Progress reported after a box (the run goes on) waits its turn again.
    inicioProgreso_ = 0;
}

LRESULT CALLBACK Principal::procedimiento(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* creacion = reinterpret_cast<const CREATESTRUCTW*>(lp);
        auto* propia = static_cast<Principal*>(creacion->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(propia));
        if (propia->hwnd_ == nullptr) {
            propia->hwnd_ = hwnd;  // the main window, before CreateWindowExW returns it
        }
    }
    auto* ventana = reinterpret_cast<Principal*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (ventana == nullptr) {
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (hwnd != ventana->hwnd_ && ventana->hwnd_ != nullptr) {
        // The progress window: its Cancel button and its close box stop the run.
        if ((msg == WM_COMMAND && LOWORD(wp) == kIdCancelar) ||
            (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_CLOSE)) {
            ventana->puerto_->cancelar();
            if (msg == WM_COMMAND) {
                ::EnableWindow(reinterpret_cast<HWND>(lp), FALSE);
            }
            return 0;
        }
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    return ventana->atender(msg, wp, lp);
}

LRESULT CALLBACK Principal::procedimientoCaja(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                              DWORD_PTR datos) {
    // Enter presses the button first, then reaches the box like every other key; the dialog
    // navigation must not take it for the default button.
    if (msg == WM_GETDLGCODE && lp != 0) {
        const auto* tecla = reinterpret_cast<const MSG*>(lp);
        if (tecla->message == WM_KEYDOWN && tecla->wParam == VK_RETURN) {
            return DLGC_WANTALLKEYS | ::DefSubclassProc(hwnd, msg, wp, lp);
        }
    }
    if (msg == WM_CHAR && wp == L'\r') {
        reinterpret_cast<Principal*>(datos)->cmd_file01_Click();
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT Principal::atender(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers all of it
        case WM_PAINT:
            pintar();
            return 0;
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wp);
            const auto control = reinterpret_cast<HWND>(lp);
            if (control == Text1_) {
                ::SetTextColor(dc, colorDe(vista::kBlanco));
                ::SetBkColor(dc, colorDe(vista::kFondo));
                return reinterpret_cast<LRESULT>(fondo_);
            }
            if (control == lblInfo_ || control == imgAyuda_) {
                ::SetTextColor(dc, colorDe(vista::kBlanco));
                ::SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            }
            if (control == Image1_) {
                return reinterpret_cast<LRESULT>(fondo_);
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto* dibujo = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (dibujo->hwndItem == cmd_file01_) {
                pintarBoton(*dibujo);
                return TRUE;
            }
            break;
        }
        case WM_SETCURSOR: {
            const auto sobre = reinterpret_cast<HWND>(wp);
            if ((sobre == imgAyuda_ || sobre == Image1_) && mano_ != nullptr) {
                ::SetCursor(mano_);
                return TRUE;
            }
            break;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            const int aviso = HIWORD(wp);
            if (id == kIdBoton && aviso == BN_CLICKED) {
                cmd_file01_Click();
            } else if (id == kIdLogo && aviso == STN_CLICKED) {
                Image1_Click();
            } else if (id == kIdAyuda && aviso == STN_DBLCLK) {
                imgAyuda_DblClick();
            }
            return 0;
        }
        case WM_DROPFILES: {
            const auto soltado = reinterpret_cast<HDROP>(wp);
            const UINT largo = ::DragQueryFileW(soltado, 0, nullptr, 0);
            std::wstring ruta(largo + 1, L'\0');
            ruta.resize(::DragQueryFileW(soltado, 0, ruta.data(), largo + 1));
            ::DragFinish(soltado);
            if (!ruta.empty()) {
                procesar(deAncho(ruta));
            }
            return 0;
        }
        case kMsgLlamar:
            (*reinterpret_cast<const std::function<void()>*>(lp))();
            return 0;
        case kMsgProgreso:
            if (trabajo_.joinable()) {
                mostrarProgreso(static_cast<Fase>(wp), static_cast<int>(lp));
            }
            return 0;
        case kMsgFin:
            alTerminar();
            return 0;
        case WM_CLOSE:
            // A run under way is asked to stop; the window goes once it has.
            if (trabajo_.joinable()) {
                cerrarAlTerminar_ = true;
                puerto_->cancelar();
                return 0;
            }
            ::DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace tralmix::win
