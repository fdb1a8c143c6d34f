// The command's system calls on Windows: Ctrl-C through the console's control handler, UTF-8 bytes
// on pipes and files and UTF-16 on a console.

#include <windows.h>

#include <csignal>

#include <io.h>

#include <cstdio>

#include "cli/plataforma.h"
#include "util/ancho.h"
#include "util/texto.h"

namespace tralmix::cli {
namespace {

// The one piece of program-wide state: the console's control handler can reach nothing else.
volatile LONG gInterrumpido = 0;

BOOL WINAPI alControl(DWORD evento) {
    if (evento != CTRL_C_EVENT && evento != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    // The first one asks the run to stop; a second one goes to the default handler, which ends
    // the program at once.
    return ::InterlockedExchange(&gInterrumpido, 1) == 0 ? TRUE : FALSE;
}

HANDLE manejadorDe(std::FILE* flujo) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(flujo)));
}

bool esConsola(HANDLE h) {
    DWORD modo = 0;
    return h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &modo) != 0;
}

}  // namespace

bool esTerminal(std::FILE* flujo) {
    return esConsola(manejadorDe(flujo));
}

void atenderInterrupcion() {
    ::SetConsoleCtrlHandler(alControl, TRUE);
}

bool interrumpido() {
    return ::InterlockedCompareExchange(&gInterrumpido, 0, 0) != 0;
}

int senalDeInterrupcion() {
    return interrumpido() ? SIGINT : 0;
}

bool escribir(std::FILE* flujo, std::string_view utf8) {
    std::fflush(flujo);
    const HANDLE h = manejadorDe(flujo);
    if (h == INVALID_HANDLE_VALUE || utf8.empty()) {
        return utf8.empty();
    }
    if (esConsola(h)) {
        // A console shows UTF-16 whatever its code page.
        const std::u16string texto = texto::desdeUtf8OReemplazo(utf8);
        DWORD escritos = 0;
        return ::WriteConsoleW(h, texto.data(), static_cast<DWORD>(texto.size()), &escritos,
                               nullptr) != 0;
    }
    // Pipes and files get the bytes as they are: no CR added before LF, as the C runtime's text
    // mode would.
    while (!utf8.empty()) {
        DWORD escritos = 0;
        if (!::WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &escritos, nullptr) ||
            escritos == 0) {
            return false;
        }
        utf8.remove_prefix(escritos);
    }
    return true;
}

}  // namespace tralmix::cli
