// tralmix.exe: the desktop window. "tralmix.exe FILE..." processes the files at once, as files
// dropped on the window: several make one list.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "util/entorno.h"
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
        ventana.ajustarAvance(tralmix::entorno::ajustesAvance());
        if (ventana.crear(mostrar)) {
            // Arguments in UTF-16: a name in any script arrives whole. They are checked as
            // dropped files are: "tralmix.exe doc.pdf" is refused with a box. Files dropped on
            // the program's icon arrive here, all of them.
            std::vector<std::u16string> rutas;
            for (const std::string& argumento : tralmix::entorno::argumentos(0, nullptr)) {
                rutas.push_back(tralmix::entorno::rutaAbsoluta(argumento));
            }
            if (!rutas.empty()) {
                ventana.entregar(rutas);
            }
            MSG m{};
            while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
                // Tab, Enter, Space and Escape in whichever window is active: the main one or the
                // progress window.
                const HWND activa = ::GetActiveWindow();
                if (ventana.teclaDeVentana(m)) {
                    continue;
                }
                if (activa == nullptr || !::IsDialogMessageW(activa, &m)) {
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
