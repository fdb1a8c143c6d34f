// tralmix.exe: the desktop window. "tralmix.exe FILE" processes FILE at once, as a dropped file.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "cli/plataforma.h"
#include "win/principal_win.h"

int WINAPI WinMain(HINSTANCE instancia, HINSTANCE, LPSTR, int mostrar) {
    INITCOMMONCONTROLSEX controles{sizeof controles,
                                   ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controles);
    // The shell and the common dialogs expect a single-threaded apartment on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    int salida = 1;
    {
        tralmix::win::Principal ventana(instancia);
        if (ventana.crear(mostrar)) {
            // Arguments in UTF-16: a name in any script arrives whole.
            const auto argumentos = tralmix::cli::argumentos(0, nullptr);
            if (!argumentos.empty()) {
                ventana.procesar(tralmix::cli::rutaAbsoluta(argumentos.front()));
            }
            MSG m{};
            while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
                if (!::IsDialogMessageW(ventana.hwnd(), &m)) {
                    ::TranslateMessage(&m);
                    ::DispatchMessageW(&m);
                }
            }
            salida = static_cast<int>(m.wParam);
        }
    }
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return salida;
}
