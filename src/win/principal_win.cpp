#include "win/principal_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "dialog/cfiledialog.h"
#include "dialog/selector_win.h"
#include "extract/proceso.h"
#include "util/ancho.h"
#include "util/cadenas.h"
#include "util/entorno.h"
#include "util/texto.h"
#include "ventana/diseno.h"
#include "ventana/opciones.h"
#include "win/opciones_win.h"
#include "win/recursos.h"

namespace tralmix::win {
namespace {

constexpr wchar_t kClase[] = L"TralmixPrincipal";
constexpr DWORD kEstilo = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// In the system menu too, so below 0xF000 and with its low four bits clear.
constexpr UINT kIdMenuOpciones = 0x0110;
constexpr wchar_t kTextoMenuOpciones[] = L"Opciones de la lista\u2026";

}  // namespace

// ---- PuertoWin ----

std::u16string PuertoWin::textoRuta() const {
    const int largo = ::GetWindowTextLengthW(ventana_.txtFile01_);
    std::wstring t(static_cast<std::size_t>(largo) + 1, L'\0');
    t.resize(static_cast<std::size_t>(::GetWindowTextW(ventana_.txtFile01_, t.data(), largo + 1)));
    return deAncho(t);
}

void PuertoWin::ponerTextoRuta(const std::u16string& texto) {
    ::SetWindowTextW(ventana_.txtFile01_, ancho(texto).c_str());
}

void PuertoWin::mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) {
    // The style numbers are the system's own icon flags: 16 stop, 48 exclamation, 64
    // information, 0 none.
    ::MessageBoxW(ventana_.hwnd_, ancho(texto).c_str(), ancho(titulo).c_str(),
                  MB_OK | static_cast<UINT>(estilo));
}

RespuestaDialogo PuertoWin::mostrarDialogo(const AjustesDialogo& ajustes) {
    SelectorWin selector;
    AvisoWin aviso;
    return tralmix::mostrarDialogo(selector, aviso, ajustes);
}

std::uintptr_t PuertoWin::ventana() const {
    return reinterpret_cast<std::uintptr_t>(ventana_.hwnd_);
}

std::u16string PuertoWin::abrirArchivo(const std::u16string& ruta) {
    return entorno::abrir(ruta);
}

void PuertoWin::informe(const Informe& informe) {
    ventana_.mostrarResumen(textoResumen(informe));
}

// ---- Principal ----

Principal::Principal(HINSTANCE instancia)
    : instancia_(instancia),
      puerto_(std::make_unique<PuertoWin>(*this)),
      progreso_(std::make_unique<VentanaProgreso>(instancia, [this] { cancelar(); })),
      // A message to a window that is gone is dropped: no call outlives the window.
      corredor_(std::make_unique<Corredor>(*puerto_,
                                           [this] { ::PostMessageW(hwnd_, kMsgCorredor, 0, 0); })) {
    corredor_->seguimiento = {
        [this](const std::u16string& ruta) {
            progreso_->empezar(hwnd_, ruta, estado_.avance.demora);
        },
        [this] { progreso_->ocultar(); },
        [this](Fase fase, std::uint64_t hecho, std::uint64_t total) {
            progreso_->avanzar(fase, hecho, total);
        },
        [this](Desenlace) {
            if (cerrarAlTerminar_) {
                ::DestroyWindow(hwnd_);
            }
        },
    };
}

Principal::~Principal() {
    corredor_.reset();  // a run still going is stopped and waited for
    for (HGDIOBJ objeto : {static_cast<HGDIOBJ>(fuenteInstrucciones_),
                           static_cast<HGDIOBJ>(fuenteEtiqueta_), static_cast<HGDIOBJ>(fondo_),
                           static_cast<HGDIOBJ>(fondoResumen_), static_cast<HGDIOBJ>(logo_)}) {
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
    fondoResumen_ = ::CreateSolidBrush(colorDe(vista::kFondoResumen));
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

void Principal::Form_Load() {
    cargarEntorno(estado_);
    aplicarOpciones(leerOpcionesGuardadas(), estado_);
    // The window's system menu offers the options too, for those who never right-click.
    if (const HMENU sistema = ::GetSystemMenu(hwnd_, FALSE)) {
        ::AppendMenuW(sistema, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(sistema, MF_STRING, kIdMenuOpciones, kTextoMenuOpciones);
    }
}

void Principal::menuContextual(LPARAM donde) {
    POINT punto{GET_X_LPARAM(donde), GET_Y_LPARAM(donde)};
    if (donde == -1) {  // from the keyboard: the middle of the window
        RECT cliente{};
        ::GetClientRect(hwnd_, &cliente);
        punto = {cliente.right / 2, cliente.bottom / 2};
        ::ClientToScreen(hwnd_, &punto);
    }
    const HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING | (corredor_->enCurso() ? MF_GRAYED : 0u), kIdMenuOpciones,
                  kTextoMenuOpciones);
    const BOOL elegido = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, punto.x, punto.y,
                                          0, hwnd_, nullptr);
    ::DestroyMenu(menu);
    if (elegido == kIdMenuOpciones) {
        opcionesLista();
    }
}

bool Principal::teclaDeVentana(const MSG& m) {
    if ((m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) || ::GetActiveWindow() != hwnd_) {
        return false;
    }
    if (m.wParam == VK_F1 && m.message == WM_KEYDOWN) {
        imgAyuda_DblClick();
        return true;
    }
    if (m.wParam != VK_APPS && (m.wParam != VK_F10 || ::GetKeyState(VK_SHIFT) >= 0)) {
        return false;
    }
    menuContextual(-1);
    return true;
}

void Principal::opcionesLista() {
    // The run reads the layout from the state; it changes only between runs.
    if (corredor_->enCurso()) {
        ::MessageBeep(MB_OK);
        return;
    }
    OpcionesVentana opciones = opcionesDe(estado_);
    if (mostrarDialogoOpciones(hwnd_, instancia_, opciones, estado_.carpetaResultado)) {
        aplicarOpciones(opciones, estado_);
        guardarOpciones(opciones);
    }
}

void Principal::cmd_file01_Click() {
    // One run at a time: the button, Enter, a drop and the command line all come to the Corredor.
    if (corredor_->enCurso()) {
        return;
    }
    ocultarResumen();
    corredor_->iniciar(estado_, [](Estado& estado, Puerto& puerto) {
        return ::tralmix::cmd_file01_Click(estado, puerto);
    });
}

void Principal::entregar(const std::vector<std::u16string>& rutas) {
    if (corredor_->enCurso()) {
        return;
    }
    ocultarResumen();
    corredor_->entregar(estado_, rutas,
                        [](Estado& estado, Puerto& puerto, std::vector<std::u16string> todas) {
                            return procesarArchivos(estado, puerto, std::move(todas));
                        });
}

void Principal::ajustarAlto(bool conResumen) {
    RECT marco{
        0, 0, vista::pixeles(vista::kAnchoClienteTwips, ppp_),
        vista::pixeles(conResumen ? vista::kAltoConResumenTwips : vista::kAltoClienteTwips, ppp_)};
    ::AdjustWindowRectEx(&marco, kEstilo, FALSE, 0);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, marco.right - marco.left, marco.bottom - marco.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Principal::mostrarResumen(const std::u16string& texto) {
    ::SetWindowTextW(txtResumen_, ancho(texto).c_str());
    conResumen_ = true;
    ajustarAlto(true);
    ::ShowWindow(lblResumen_, SW_SHOWNA);
    ::ShowWindow(txtResumen_, SW_SHOWNA);
}

void Principal::ocultarResumen() {
    if (!conResumen_) {
        return;
    }
    // The focus must not stay on a control that goes.
    if (::GetFocus() == txtResumen_) {
        ::SetFocus(cmd_file01_);
    }
    conResumen_ = false;
    ::ShowWindow(lblResumen_, SW_HIDE);
    ::ShowWindow(txtResumen_, SW_HIDE);
    ::SetWindowTextW(txtResumen_, L"");
    ajustarAlto(false);
}

void Principal::abrir(const std::u16string& destino) {
    if (const std::u16string motivo = entorno::abrir(destino); !motivo.empty()) {
        puerto_->mensaje(mensajeFallo(kNoSeAbrio, destino, motivo), Estilo::Exclamacion, kTitulo);
    }
}

void Principal::Image1_Click() {
    // What ships with the program: its help, whose first page says what it is.
    imgAyuda_DblClick();
}

void Principal::imgAyuda_DblClick() {
    const std::u16string carpeta = conSeparador(estado_.carpetaPrograma);
    const std::u16string chm = carpeta + vista::kArchivoAyuda;
    std::u16string html = carpeta + vista::kAyudaHtml;
    std::replace(html.begin(), html.end(), u'/', u'\\');
    // The compiled help where a program answers for it, else the same pages in the browser.
    const bool hayChm = existeArchivo(chm);
    const std::u16string motivoChm = hayChm ? entorno::abrir(chm) : std::u16string();
    if (hayChm && motivoChm.empty()) {
        return;
    }
    if (!existeArchivo(html)) {
        puerto_->mensaje(
            hayChm ? mensajeFallo(kNoSeAbrio, chm, motivoChm) : std::u16string(kSinAyuda),
            Estilo::Exclamacion, kTitulo);
        return;
    }
    abrir(html);
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
    return ventana->atender(msg, wp, lp);
}

LRESULT CALLBACK Principal::procedimientoInstrucciones(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                       UINT_PTR, DWORD_PTR) {
    // A multi-line box keeps Tab, Enter and Escape for itself; read-only, it has no use for them,
    // and Tab must move on to the button.
    if (msg == WM_GETDLGCODE) {
        return ::DefSubclassProc(hwnd, msg, wp, lp) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
    // Its right-click belongs to the window, whose menu holds the list's options.
    if (msg == WM_CONTEXTMENU) {
        return ::SendMessageW(::GetParent(hwnd), msg, wp, lp);
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Principal::procedimientoResumen(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                 UINT_PTR, DWORD_PTR) {
    // Tab moves on, as from the instructions; the box keeps its own menu, whose "Copiar" a person
    // may want.
    if (msg == WM_GETDLGCODE) {
        return ::DefSubclassProc(hwnd, msg, wp, lp) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Principal::procedimientoAyuda(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                               DWORD_PTR datos) {
    switch (msg) {
        case WM_CHAR:
            // Enter comes to the window as IDOK; Space is the icon's own, as a button's.
            if (wp == L' ') {
                reinterpret_cast<Principal*>(datos)->imgAyuda_DblClick();
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            // The focus frame is drawn over the gradient: the window repaints what lies behind.
            RECT r{};
            ::GetWindowRect(hwnd, &r);
            ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
            ::InvalidateRect(::GetParent(hwnd), &r, TRUE);
            ::InvalidateRect(hwnd, nullptr, TRUE);
            break;
        }
        case WM_PAINT: {
            const LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
            if (::GetFocus() == hwnd) {
                RECT marco{};
                ::GetClientRect(hwnd, &marco);
                const HDC dc = ::GetDC(hwnd);
                ::DrawFocusRect(dc, &marco);
                ::ReleaseDC(hwnd, dc);
            }
            return r;
        }
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

void Principal::cancelar() {
    if (!corredor_->enCurso()) {
        return;
    }
    corredor_->cancelar();
    progreso_->cancelando();
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
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus gets it back when the window is
            // active again (after the Open dialog, a box, the progress window), so the keys go
            // on from there.
            if (LOWORD(wp) == WA_INACTIVE) {
                const HWND foco = ::GetFocus();
                if (foco != nullptr && ::IsChild(hwnd_, foco)) {
                    foco_ = foco;
                }
            } else if (foco_ != nullptr && ::IsWindow(foco_)) {
                ::SetFocus(foco_);
                return 0;
            }
            break;
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
            if (control == lblInfo_ || control == imgAyuda_ || control == lblResumen_) {
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
            // Enter reaches the window as IDOK from the dialog keys; on "..." it presses it, as
            // Space does (an owner-drawn button is never the default one).
            const bool enterEnBoton = id == IDOK && ::GetFocus() == cmd_file01_;
            const bool enterEnAyuda = id == IDOK && ::GetFocus() == imgAyuda_;
            if ((id == kIdBoton && aviso == BN_CLICKED) || enterEnBoton) {
                cmd_file01_Click();
            } else if (id == kIdLogo && aviso == STN_CLICKED) {
                Image1_Click();
            } else if ((id == kIdAyuda && aviso == STN_DBLCLK) || enterEnAyuda) {
                imgAyuda_DblClick();
            }
            return 0;
        }
        case WM_CONTEXTMENU:
            menuContextual(lp);
            return 0;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == kIdMenuOpciones) {
                opcionesLista();
                return 0;
            }
            break;
        case WM_DROPFILES: {
            const auto soltado = reinterpret_cast<HDROP>(wp);
            std::vector<std::u16string> rutas;
            const UINT cuantos = ::DragQueryFileW(soltado, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < cuantos; ++i) {
                const UINT largo = ::DragQueryFileW(soltado, i, nullptr, 0);
                std::wstring ruta(largo + 1, L'\0');
                ruta.resize(::DragQueryFileW(soltado, i, ruta.data(), largo + 1));
                rutas.push_back(deAncho(ruta));
            }
            ::DragFinish(soltado);
            // The program the files came from waits until the drop returns: no box inside it.
            soltados_ = std::move(rutas);
            ::PostMessageW(hwnd_, kMsgSoltado, 0, 0);
            return 0;
        }
        case kMsgSoltado:
            entregar(std::exchange(soltados_, {}));
            return 0;
        case kMsgCorredor:
            corredor_->atender();
            return 0;
        case WM_TIMER:
            progreso_->vencido(wp);
            return 0;
        case WM_CLOSE:
            // Closing stops a run: it ends at its next cheap point, writes no list, and the
            // window goes once it has.
            if (corredor_->enCurso()) {
                cerrarAlTerminar_ = true;
                cancelar();
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
