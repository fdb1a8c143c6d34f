#include "win/opciones_win.h"

#include "extract/disposicion.h"
#include "extract/estado.h"
#include "util/ancho.h"
#include "util/texto.h"
#include "win/recursos.h"

namespace tralmix {
namespace {

constexpr wchar_t kClave[] = L"Software\\Tralmix";
constexpr wchar_t kValorPorGrupo[] = L"PorGrupo";
constexpr wchar_t kValorSeparador[] = L"Separador";

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

void ponerValores(HWND dialogo, const OpcionesLista& o) {
    ::SetDlgItemTextW(dialogo, IDC_POR_GRUPO, std::to_wstring(o.porGrupo).c_str());
    ::SetDlgItemTextW(dialogo, IDC_SEPARADOR, anchoUtf8(o.separador).c_str());
}

INT_PTR CALLBACK procedimiento(HWND dialogo, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            ::SetWindowLongPtrW(dialogo, DWLP_USER, lp);
            ponerValores(dialogo, *reinterpret_cast<OpcionesLista*>(lp));
            // Texts with accents are set here, not in the resource script, whose code page the
            // resource compiler would have to guess.
            ::SetWindowTextW(dialogo, L"Opciones de la lista");
            ::SetDlgItemTextW(dialogo, IDC_NOTA,
                              L"La primera direcci\u00f3n de cada grupo va sola en su l\u00ednea; "
                              L"las dem\u00e1s, en la l\u00ednea siguiente, unidas por el "
                              L"separador (\", \" o \"; \", por ejemplo).");
            return TRUE;
        }
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case IDC_RESTABLECER:
                    ponerValores(dialogo, OpcionesLista{kPorGrupo, std::string(kSeparadorLista)});
                    return TRUE;
                case IDOK: {
                    const auto n =
                        leerPorGrupo(texto::aUtf8(deAncho(textoDe(dialogo, IDC_POR_GRUPO))));
                    const auto sep = leerSeparador(deAncho(textoDe(dialogo, IDC_SEPARADOR)));
                    if (!n.valor || !sep.valor) {
                        const std::wstring aviso =
                            anchoUtf8(comoAviso(!n.valor ? n.error : sep.error));
                        ::MessageBoxW(dialogo, aviso.c_str(), L"Opciones de la lista",
                                      MB_OK | MB_ICONEXCLAMATION);
                        ::SetFocus(::GetDlgItem(dialogo, !n.valor ? IDC_POR_GRUPO : IDC_SEPARADOR));
                        return TRUE;
                    }
                    auto* o =
                        reinterpret_cast<OpcionesLista*>(::GetWindowLongPtrW(dialogo, DWLP_USER));
                    *o = OpcionesLista{*n.valor, *sep.valor};
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

}  // namespace

OpcionesLista leerOpcionesGuardadas() {
    OpcionesLista o{kPorGrupo, std::string(kSeparadorLista)};
    DWORD n = 0;
    DWORD tamano = sizeof(n);
    if (::RegGetValueW(HKEY_CURRENT_USER, kClave, kValorPorGrupo, RRF_RT_REG_DWORD, nullptr, &n,
                       &tamano) == ERROR_SUCCESS) {
        if (const auto valido = leerPorGrupo(std::to_string(n)); valido.valor) {
            o.porGrupo = *valido.valor;
        }
    }
    wchar_t separador[64] = {};
    tamano = sizeof(separador);
    if (::RegGetValueW(HKEY_CURRENT_USER, kClave, kValorSeparador, RRF_RT_REG_SZ, nullptr,
                       separador, &tamano) == ERROR_SUCCESS) {
        if (auto valido = leerSeparador(std::u16string_view(deAncho(separador))); valido.valor) {
            o.separador = std::move(*valido.valor);
        }
    }
    return o;
}

void guardarOpciones(const OpcionesLista& o) {
    HKEY clave = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kClave, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &clave,
                          nullptr) != ERROR_SUCCESS) {
        return;
    }
    const auto n = static_cast<DWORD>(o.porGrupo);
    ::RegSetValueExW(clave, kValorPorGrupo, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n),
                     sizeof(n));
    const std::wstring sep = anchoUtf8(o.separador);
    ::RegSetValueExW(clave, kValorSeparador, 0, REG_SZ, reinterpret_cast<const BYTE*>(sep.c_str()),
                     static_cast<DWORD>((sep.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(clave);
}

bool mostrarDialogoOpciones(HWND dueno, HINSTANCE instancia, OpcionesLista& opciones) {
    OpcionesLista copia = opciones;
    const INT_PTR r = ::DialogBoxParamW(instancia, MAKEINTRESOURCEW(IDD_OPCIONES), dueno,
                                        &procedimiento, reinterpret_cast<LPARAM>(&copia));
    if (r != IDOK) {
        return false;
    }
    opciones = copia;
    return true;
}

}  // namespace tralmix
