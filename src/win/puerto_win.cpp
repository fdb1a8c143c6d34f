// The window as the processing run sees it.

#include "win/principal_win.h"

#include "dialog/cfiledialog.h"
#include "dialog/selector_win.h"
#include "util/ancho.h"
#include "util/entorno.h"
#include "ventana/opciones.h"

namespace tralmix::win {

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

}  // namespace tralmix::win
