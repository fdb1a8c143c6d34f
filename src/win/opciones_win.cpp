#include "win/opciones_win.h"

#include <algorithm>
#include <vector>

#include "dialog/cfiledialog.h"
#include "dialog/selector_win.h"
#include "extract/disposicion.h"
#include "extract/estado.h"
#include "util/ancho.h"
#include "util/texto.h"
#include "ventana/diseno.h"
#include "win/recursos.h"

namespace tralmix {
namespace {

constexpr wchar_t kValorPorGrupo[] = L"PorGrupo";
constexpr wchar_t kValorSeparador[] = L"Separador";
constexpr wchar_t kValorExclusiones[] = L"Exclusiones";
constexpr wchar_t kValorDepurar[] = L"Depurar";
constexpr wchar_t kValorSiempreResumen[] = L"SiempreResumen";

// What the dialog works on: the options, and where "Agregar…" starts.
struct Edicion {
    OpcionesVentana opciones;
    std::u16string carpeta;
};

std::wstring anchoUtf8(std::string_view utf8) {
    return ancho(texto::desdeUtf8OReemplazo(utf8));
}

std::wstring textoDe(HWND dialogo, int id) {
    const HWND control = ::GetDlgItem(dialogo, id);
    std::wstring t(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    t.resize(
        static_cast<std::size_t>(::GetWindowTextW(control, t.data(), static_cast<int>(t.size()))));
    return t;
}

void ponerTexto(HWND dialogo, int id, const char16_t* texto) {
    ::SetDlgItemTextW(dialogo, id, ancho(texto).c_str());
}

void ponerValores(HWND dialogo, const OpcionesLista& o) {
    ::SetDlgItemTextW(dialogo, IDC_POR_GRUPO, std::to_wstring(o.porGrupo).c_str());
    ::SetDlgItemTextW(dialogo, IDC_SEPARADOR, anchoUtf8(o.separador).c_str());
}

void ponerMarca(HWND dialogo, int id, bool marcada) {
    ::CheckDlgButton(dialogo, id, marcada ? BST_CHECKED : BST_UNCHECKED);
}

bool marcada(HWND dialogo, int id) {
    return ::IsDlgButtonChecked(dialogo, id) == BST_CHECKED;
}

// The list box's entries, one path each; wide enough to scroll to the end of the longest.
void llenarLista(HWND dialogo, const std::vector<std::u16string>& rutas) {
    const HWND lista = ::GetDlgItem(dialogo, IDC_EXCLUSIONES);
    ::SendMessageW(lista, LB_RESETCONTENT, 0, 0);
    const HDC dc = ::GetDC(lista);
    const auto anterior =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(lista, WM_GETFONT, 0, 0)));
    LONG mayor = 0;
    for (const std::u16string& ruta : rutas) {
        const std::wstring w = ancho(ruta);
        ::SendMessageW(lista, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
        SIZE tamano{};
        ::GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &tamano);
        mayor = std::max(mayor, tamano.cx);
    }
    ::SelectObject(dc, anterior);
    ::ReleaseDC(lista, dc);
    ::SendMessageW(lista, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(mayor + 8), 0);
    ::EnableWindow(::GetDlgItem(dialogo, IDC_QUITAR), FALSE);
}

void agregar(HWND dialogo, Edicion& e) {
    SelectorWin selector;
    AvisoWin aviso;
    const RespuestaDialogo r = mostrarDialogo(
        selector, aviso, ajustesAgregar(reinterpret_cast<std::uintptr_t>(dialogo), e.carpeta));
    if (!r.elegido) {
        return;
    }
    agregarExclusiones(e.opciones.exclusiones,
                       r.rutas.empty() ? std::vector<std::u16string>{r.ruta} : r.rutas);
    llenarLista(dialogo, e.opciones.exclusiones);
    ::SetFocus(::GetDlgItem(dialogo, IDC_EXCLUSIONES));
}

void quitar(HWND dialogo, Edicion& e) {
    const HWND lista = ::GetDlgItem(dialogo, IDC_EXCLUSIONES);
    const auto cuantas = static_cast<int>(::SendMessageW(lista, LB_GETSELCOUNT, 0, 0));
    if (cuantas <= 0) {
        return;
    }
    std::vector<int> elegidas(static_cast<std::size_t>(cuantas));
    ::SendMessageW(lista, LB_GETSELITEMS, static_cast<WPARAM>(cuantas),
                   reinterpret_cast<LPARAM>(elegidas.data()));
    std::sort(elegidas.rbegin(), elegidas.rend());
    auto& rutas = e.opciones.exclusiones;
    for (const int i : elegidas) {
        if (i >= 0 && static_cast<std::size_t>(i) < rutas.size()) {
            rutas.erase(rutas.begin() + i);
        }
    }
    llenarLista(dialogo, rutas);
    // The keys go on from the entry that took the removed one's place.
    if (!rutas.empty()) {
        const int siguiente = std::min(elegidas.back(), static_cast<int>(rutas.size()) - 1);
        ::SendMessageW(lista, LB_SETSEL, TRUE, siguiente);
        ::SendMessageW(lista, LB_SETCARETINDEX, static_cast<WPARAM>(siguiente), FALSE);
        ::EnableWindow(::GetDlgItem(dialogo, IDC_QUITAR), TRUE);
    }
    ::SetFocus(lista);
}

INT_PTR CALLBACK procedimiento(HWND dialogo, UINT msg, WPARAM wp, LPARAM lp) {
    auto* e = reinterpret_cast<Edicion*>(::GetWindowLongPtrW(dialogo, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            ::SetWindowLongPtrW(dialogo, DWLP_USER, lp);
            e = reinterpret_cast<Edicion*>(lp);
            ponerValores(dialogo, e->opciones.lista);
            // Texts with accents are set here, not in the resource script, whose code page the
            // resource compiler would have to guess.
            ::SetWindowTextW(dialogo, ancho(vista::kTituloOpciones).c_str());
            ::SetDlgItemTextW(dialogo, IDC_NOTA,
                              L"La primera direcci\u00f3n de cada grupo va sola en su l\u00ednea; "
                              L"las dem\u00e1s, en la l\u00ednea siguiente, unidas por el "
                              L"separador (\", \" o \"; \", por ejemplo).");
            ponerTexto(dialogo, IDC_ETIQUETA_EXCLUSIONES, vista::kEtiquetaExclusiones);
            ponerTexto(dialogo, IDC_AGREGAR, vista::kTextoAgregar);
            ponerTexto(dialogo, IDC_QUITAR, vista::kTextoQuitar);
            ponerTexto(dialogo, IDC_NOTA_EXCLUSIONES, vista::kNotaExclusiones);
            ponerTexto(dialogo, IDC_DEPURAR, vista::kTextoDepurar);
            ponerTexto(dialogo, IDC_SIEMPRE_RESUMEN, vista::kTextoSiempreResumen);
            llenarLista(dialogo, e->opciones.exclusiones);
            ponerMarca(dialogo, IDC_DEPURAR, e->opciones.depurar);
            ponerMarca(dialogo, IDC_SIEMPRE_RESUMEN, e->opciones.siempreResumen);
            return TRUE;
        }
        case WM_VKEYTOITEM:
            // Delete in the list removes what is chosen, as "Quitar" does.
            if (LOWORD(wp) == VK_DELETE && e != nullptr) {
                quitar(dialogo, *e);
                return -2;
            }
            return -1;
        case WM_COMMAND:
            if (e == nullptr) {
                break;
            }
            switch (LOWORD(wp)) {
                case IDC_EXCLUSIONES:
                    if (HIWORD(wp) == LBN_SELCHANGE) {
                        const auto elegidas =
                            ::SendDlgItemMessageW(dialogo, IDC_EXCLUSIONES, LB_GETSELCOUNT, 0, 0);
                        ::EnableWindow(::GetDlgItem(dialogo, IDC_QUITAR), elegidas > 0);
                    }
                    return TRUE;
                case IDC_AGREGAR:
                    agregar(dialogo, *e);
                    return TRUE;
                case IDC_QUITAR:
                    quitar(dialogo, *e);
                    return TRUE;
                case IDC_RESTABLECER:
                    // The layout and the checks as a new user has them; the exclusion files are
                    // the person's own data and stay until removed.
                    ponerValores(dialogo, OpcionesLista{kPorGrupo, std::string(kSeparadorLista)});
                    ponerMarca(dialogo, IDC_DEPURAR, false);
                    ponerMarca(dialogo, IDC_SIEMPRE_RESUMEN, false);
                    return TRUE;
                case IDOK: {
                    const auto n =
                        leerPorGrupo(texto::aUtf8(deAncho(textoDe(dialogo, IDC_POR_GRUPO))));
                    const auto sep = leerSeparador(deAncho(textoDe(dialogo, IDC_SEPARADOR)));
                    if (!n.valor || !sep.valor) {
                        const std::wstring aviso =
                            anchoUtf8(comoAviso(!n.valor ? n.error : sep.error));
                        ::MessageBoxW(dialogo, aviso.c_str(), ancho(vista::kTituloOpciones).c_str(),
                                      MB_OK | MB_ICONEXCLAMATION);
                        ::SetFocus(::GetDlgItem(dialogo, !n.valor ? IDC_POR_GRUPO : IDC_SEPARADOR));
                        return TRUE;
                    }
                    e->opciones.lista = OpcionesLista{*n.valor, *sep.valor};
                    e->opciones.depurar = marcada(dialogo, IDC_DEPURAR);
                    e->opciones.siempreResumen = marcada(dialogo, IDC_SIEMPRE_RESUMEN);
                    ::EndDialog(dialogo, IDOK);
                    return TRUE;
                }
                case IDCANCEL:
                    ::EndDialog(dialogo, IDCANCEL);
                    return TRUE;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

DWORD leerNumero(const wchar_t* clave, const wchar_t* valor, DWORD siNo) {
    DWORD n = 0;
    DWORD tamano = sizeof(n);
    if (::RegGetValueW(HKEY_CURRENT_USER, clave, valor, RRF_RT_REG_DWORD, nullptr, &n, &tamano) !=
        ERROR_SUCCESS) {
        return siNo;
    }
    return n;
}

// The strings of a REG_MULTI_SZ value, in order; none when it is missing.
std::vector<std::u16string> leerLista(const wchar_t* clave, const wchar_t* valor) {
    DWORD tamano = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, clave, valor, RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                       &tamano) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring datos(tamano / sizeof(wchar_t) + 2, L'\0');
    tamano = static_cast<DWORD>(datos.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CURRENT_USER, clave, valor, RRF_RT_REG_MULTI_SZ, nullptr, datos.data(),
                       &tamano) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<std::u16string> lista;
    std::size_t pos = 0;
    while (pos < datos.size() && datos[pos] != L'\0') {
        const std::size_t fin = datos.find(L'\0', pos);
        lista.push_back(deAncho(std::wstring_view(datos).substr(pos, fin - pos)));
        pos = fin + 1;
    }
    return lista;
}

}  // namespace

OpcionesVentana leerOpcionesGuardadas(const wchar_t* clave) {
    OpcionesVentana o;
    DWORD n = 0;
    DWORD tamano = sizeof(n);
    if (::RegGetValueW(HKEY_CURRENT_USER, clave, kValorPorGrupo, RRF_RT_REG_DWORD, nullptr, &n,
                       &tamano) == ERROR_SUCCESS) {
        if (const auto valido = leerPorGrupo(std::to_string(n)); valido.valor) {
            o.lista.porGrupo = *valido.valor;
        }
    }
    wchar_t separador[64] = {};
    tamano = sizeof(separador);
    if (::RegGetValueW(HKEY_CURRENT_USER, clave, kValorSeparador, RRF_RT_REG_SZ, nullptr, separador,
                       &tamano) == ERROR_SUCCESS) {
        if (auto valido = leerSeparador(std::u16string_view(deAncho(separador))); valido.valor) {
            o.lista.separador = std::move(*valido.valor);
        }
    }
    agregarExclusiones(o.exclusiones, leerLista(clave, kValorExclusiones));
    o.depurar = leerNumero(clave, kValorDepurar, 0) != 0;
    o.siempreResumen = leerNumero(clave, kValorSiempreResumen, 0) != 0;
    return o;
}

void guardarOpciones(const OpcionesVentana& o, const wchar_t* clave) {
    HKEY k = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, clave, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                          nullptr) != ERROR_SUCCESS) {
        return;
    }
    const auto numero = [&](const wchar_t* valor, DWORD n) {
        ::RegSetValueExW(k, valor, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof(n));
    };
    numero(kValorPorGrupo, static_cast<DWORD>(o.lista.porGrupo));
    const std::wstring sep = anchoUtf8(o.lista.separador);
    ::RegSetValueExW(k, kValorSeparador, 0, REG_SZ, reinterpret_cast<const BYTE*>(sep.c_str()),
                     static_cast<DWORD>((sep.size() + 1) * sizeof(wchar_t)));
    if (o.exclusiones.empty()) {
        ::RegDeleteValueW(k, kValorExclusiones);
    } else {
        // Each path ended by NUL, the list by one more.
        std::wstring lista;
        for (const std::u16string& ruta : o.exclusiones) {
            lista += ancho(ruta);
            lista.push_back(L'\0');
        }
        lista.push_back(L'\0');
        ::RegSetValueExW(k, kValorExclusiones, 0, REG_MULTI_SZ,
                         reinterpret_cast<const BYTE*>(lista.data()),
                         static_cast<DWORD>(lista.size() * sizeof(wchar_t)));
    }
    numero(kValorDepurar, o.depurar ? 1 : 0);
    numero(kValorSiempreResumen, o.siempreResumen ? 1 : 0);
    ::RegCloseKey(k);
}

bool mostrarDialogoOpciones(HWND dueno, HINSTANCE instancia, OpcionesVentana& opciones,
                            std::u16string carpeta) {
    Edicion edicion{opciones, std::move(carpeta)};
    const INT_PTR r = ::DialogBoxParamW(instancia, MAKEINTRESOURCEW(IDD_OPCIONES), dueno,
                                        &procedimiento, reinterpret_cast<LPARAM>(&edicion));
    if (r != IDOK) {
        return false;
    }
    opciones = edicion.opciones;
    return true;
}

}  // namespace tralmix
