// The command's system calls on Windows: Ctrl-C through the console's control handler, UTF-8 bytes
// on pipes and files and UTF-16 on a console.

#include <windows.h>

#include <csignal>

#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/plataforma.h"
#include "extract/mensajes.h"
#include "util/ancho.h"
#include "util/archivos.h"
#include "util/cadenas.h"
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

CopiaEntrada::~CopiaEntrada() {
    if (!ruta_.empty()) {
        ::DeleteFileW(ancho(ruta_).c_str());
    }
    if (!carpeta_.empty()) {
        ::RemoveDirectoryW(ancho(carpeta_).c_str());
    }
}

bool CopiaEntrada::copiar(std::u16string_view carpetaTemporal) {
    // A folder of a new name: the process's number and a count, until one is free.
    const std::u16string base = conSeparador(std::u16string(carpetaTemporal)) + u"tralmix-" +
                                texto::desdeUtf8OReemplazo(std::to_string(::GetCurrentProcessId()));
    for (unsigned intento = 0;; ++intento) {
        const std::u16string carpeta =
            base + u"-" + texto::desdeUtf8OReemplazo(std::to_string(intento));
        if (::CreateDirectoryW(ancho(carpeta).c_str(), nullptr)) {
            carpeta_ = carpeta;
            break;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS || intento > 1000) {
            fallo_ = mensajeFallo(kNoSeCreoTrabajo, std::u16string(carpetaTemporal),
                                  archivos::motivo(static_cast<int>(error)));
            return false;
        }
    }
    const std::u16string ruta = carpeta_ + u"\\" + std::u16string(kNombreCopia);
    const HANDLE destino = ::CreateFileW(ancho(ruta).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (destino == INVALID_HANDLE_VALUE) {
        fallo_ = mensajeFallo(kNoSeCreoTrabajo, ruta,
                              archivos::motivo(static_cast<int>(::GetLastError())));
        return false;
    }
    ruta_ = ruta;
    const HANDLE entrada = ::GetStdHandle(STD_INPUT_HANDLE);
    std::vector<char> bufer(std::size_t{1} << 16);
    std::uint64_t total = 0;
    while (!interrumpido()) {
        DWORD leidos = 0;
        if (!::ReadFile(entrada, bufer.data(), static_cast<DWORD>(bufer.size()), &leidos,
                        nullptr)) {
            const DWORD error = ::GetLastError();
            // A pipe's writer closed it: the end of the input. Ctrl-C aborts a console's read.
            if (error != ERROR_BROKEN_PIPE && error != ERROR_OPERATION_ABORTED) {
                fallo_ = mensajeFallo(kNoSeLeyo, kEntradaEstandar,
                                      archivos::motivo(static_cast<int>(error)));
            }
            break;
        }
        if (leidos == 0) {
            break;
        }
        total += leidos;
        if (total > archivos::kTamanoMaximo) {
            fallo_ = mensajeFallo(kNoSeLeyo, kEntradaEstandar, kDemasiadoGrande);
            break;
        }
        DWORD escritos = 0;
        if (!::WriteFile(destino, bufer.data(), leidos, &escritos, nullptr) || escritos != leidos) {
            fallo_ = mensajeFallo(kNoSeEscribioTrabajo, ruta_,
                                  archivos::motivo(static_cast<int>(::GetLastError())));
            break;
        }
    }
    if (!::CloseHandle(destino) && fallo_.empty()) {
        fallo_ = mensajeFallo(kNoSeEscribioTrabajo, ruta_,
                              archivos::motivo(static_cast<int>(::GetLastError())));
    }
    return fallo_.empty() && !interrumpido();
}

}  // namespace tralmix::cli
