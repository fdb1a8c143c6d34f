#include "dialog/selector_win.h"

#include <cderr.h>

#include <algorithm>

#include "util/ancho.h"

namespace tralmix {
namespace {

static_assert(kTamanoRegistroWin == (sizeof(void*) == 4 ? 76u : 136u));

// A buffer of n characters plus the NUL that ends it whatever it holds.
std::wstring bufer(const std::u16string& valor, std::uint32_t n) {
    std::wstring b = ancho(valor);
    b.resize(static_cast<std::size_t>(n) + 1, L'\0');
    return b;
}

std::u16string hastaNulo(const std::wstring& b, std::uint32_t n) {
    const std::wstring_view v(b.data(), std::min<std::size_t>(b.size(), n));
    const std::wstring_view parte = v.substr(0, v.find(L'\0'));
    std::u16string t(parte.begin(), parte.end());
    t.resize(n, u'\0');
    return t;
}

}  // namespace

void prepararLlamada(const RegistroLlamada& r, LlamadaWin& l) {
    l.ofn = OPENFILENAMEW{};
    l.ofn.lStructSize = kTamanoRegistroWin;
    l.ofn.hwndOwner = reinterpret_cast<HWND>(r.hwndOwner);
    l.ofn.hInstance = nullptr;
    l.filtro = ancho(r.lpstrFilter);
    l.ofn.lpstrFilter = l.filtro.c_str();
    l.ofn.lpstrCustomFilter = nullptr;
    l.ofn.nMaxCustFilter = 0;
    l.ofn.nFilterIndex = static_cast<DWORD>(r.nFilterIndex);
    l.archivo = bufer(r.lpstrFile, r.nMaxFile);
    l.ofn.lpstrFile = l.archivo.data();
    l.ofn.nMaxFile = r.nMaxFile;
    l.tituloArchivo = bufer(r.lpstrFileTitle, r.nMaxFileTitle);
    l.ofn.lpstrFileTitle = l.tituloArchivo.data();
    l.ofn.nMaxFileTitle = r.nMaxFileTitle;
    if (r.lpstrInitialDir) {
        l.carpeta = ancho(*r.lpstrInitialDir);
        l.ofn.lpstrInitialDir = l.carpeta.c_str();
    }
    if (r.lpstrTitle) {
        l.titulo = ancho(*r.lpstrTitle);
        l.ofn.lpstrTitle = l.titulo.c_str();
    }
    l.ofn.Flags = static_cast<DWORD>(r.Flags);
    l.ofn.nFileOffset = 0;
    l.ofn.nFileExtension = 0;
    if (r.lpstrDefExt) {
        l.extension = ancho(*r.lpstrDefExt);
        l.ofn.lpstrDefExt = l.extension.c_str();
    }
    l.ofn.lCustData = 0;
    l.ofn.lpfnHook = nullptr;
    l.ofn.lpTemplateName = nullptr;
}

void leerRespuesta(const LlamadaWin& l, RegistroLlamada& r) {
    if ((r.Flags & kOfnVarios) != 0) {
        // The folder and the names, each ended by NUL, up to the NUL that ends them all.
        const std::wstring_view v(l.archivo.data(),
                                  std::min<std::size_t>(l.archivo.size(), r.nMaxFile));
        const std::size_t fin = v.find(std::wstring_view(L"\0\0", 2));
        const std::wstring_view parte =
            v.substr(0, fin == std::wstring_view::npos ? v.size() : fin + 2);
        r.lpstrFile.assign(parte.begin(), parte.end());
        r.lpstrFile.resize(r.nMaxFile, u'\0');
    } else {
        r.lpstrFile = hastaNulo(l.archivo, r.nMaxFile);
    }
    r.lpstrFileTitle = hastaNulo(l.tituloArchivo, r.nMaxFileTitle);
}

bool SelectorWin::mostrar(RegistroLlamada& registro, bool abrir) {
    LlamadaWin llamada;
    prepararLlamada(registro, llamada);
    const BOOL elegido =
        abrir ? ::GetOpenFileNameW(&llamada.ofn) : ::GetSaveFileNameW(&llamada.ofn);
    if (elegido) {
        leerRespuesta(llamada, registro);
        return true;
    }
    const DWORD error = ::CommDlgExtendedError();
    if (error == FNERR_BUFFERTOOSMALL) {
        // The chosen path is cut to fit nothing: said, never passed on cut short.
        throw ErrorDialogo{static_cast<int>(error),
                           (registro.Flags & kOfnVarios) != 0
                               ? u"Los archivos elegidos no caben en el búfer de la respuesta: "
                                 u"elija menos a la vez"
                               : u"La ruta elegida no cabe en el búfer de 260 caracteres"};
    }
    return false;  // cancelled (0), or the system could not show the dialog
}

void AvisoWin::mostrar(std::u16string_view texto, std::u16string_view titulo) {
    const std::wstring t = ancho(texto);
    const std::wstring c = ancho(titulo);
    ::MessageBoxW(::GetActiveWindow(), t.c_str(), c.c_str(), MB_OK);
}

}  // namespace tralmix
