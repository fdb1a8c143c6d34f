// The command's system calls on Windows: UTF-16 arguments, wide paths, the profile folder,
// Ctrl-C through the console's control handler, UTF-8 bytes on pipes and files and UTF-16 on a
// console.

#include <windows.h>

#include <io.h>
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>

#include "cli/plataforma.h"
#include "util/ancho.h"
#include "util/archivos.h"
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

std::vector<std::string> argumentos(int, char**) {
    // The narrow argv has passed through the ANSI code page: names in other scripts are lost
    // there, so the arguments are read again in UTF-16.
    int n = 0;
    std::unique_ptr<LPWSTR, decltype(&::LocalFree)> lista(
        ::CommandLineToArgvW(::GetCommandLineW(), &n), &::LocalFree);
    std::vector<std::string> resultado;
    if (!lista) {
        return resultado;
    }
    for (int i = 1; i < n; ++i) {
        resultado.push_back(texto::aUtf8(deAncho(lista.get()[i])));
    }
    return resultado;
}

std::u16string rutaAbsoluta(std::string_view utf8) {
    std::u16string original = texto::desdeUtf8OReemplazo(utf8);
    const std::wstring ruta = ancho(original);
    const DWORD largo = ::GetFullPathNameW(ruta.c_str(), 0, nullptr, nullptr);
    if (largo == 0) {
        return original;
    }
    std::wstring completa(largo, L'\0');
    const DWORD escritos = ::GetFullPathNameW(ruta.c_str(), largo, completa.data(), nullptr);
    if (escritos == 0 || escritos >= largo) {
        return original;
    }
    completa.resize(escritos);
    return deAncho(completa.c_str());
}

std::u16string carpetaPersonal() {
    // The user's profile folder stands where the list used to go: the root of drive C:, which
    // current Windows keeps from ordinary users.
    PWSTR ruta = nullptr;
    std::u16string carpeta;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Profile, 0, nullptr, &ruta))) {
        carpeta = deAncho(ruta);
    }
    ::CoTaskMemFree(ruta);
    return carpeta.empty() ? std::u16string(u".") : carpeta;
}

std::u16string carpetaTemporalSistema() {
    // TMP, else TEMP, else the profile's or the system's folder, as the system decides.
    wchar_t bufer[MAX_PATH + 1] = {};
    const DWORD largo = ::GetTempPathW(MAX_PATH + 1, bufer);
    std::u16string carpeta =
        largo > 0 && largo <= MAX_PATH ? deAncho(bufer) : std::u16string(u"C:\\Windows\\Temp\\");
    // The run adds its own separator.
    while (carpeta.size() > 3 && (carpeta.back() == u'\\' || carpeta.back() == u'/')) {
        carpeta.pop_back();
    }
    return carpeta;
}

std::u16string carpetaDelPrograma() {
    std::wstring ruta(MAX_PATH, L'\0');
    for (;;) {
        const DWORD largo =
            ::GetModuleFileNameW(nullptr, ruta.data(), static_cast<DWORD>(ruta.size()));
        if (largo == 0) {
            return u".";
        }
        if (largo < ruta.size()) {
            ruta.resize(largo);
            break;
        }
        ruta.resize(ruta.size() * 2);  // cut short: a longer path than MAX_PATH
    }
    const auto barra = ruta.find_last_of(L"\\/");
    return barra == std::wstring::npos ? u"." : deAncho(ruta.substr(0, barra).c_str());
}

Fecha fechaLocal() {
    SYSTEMTIME hoy{};
    ::GetLocalTime(&hoy);
    return Fecha{hoy.wYear, hoy.wMonth, hoy.wDay};
}

bool esTerminal(std::FILE* flujo) {
    return esConsola(manejadorDe(flujo));
}

void atenderInterrupcion() {
    ::SetConsoleCtrlHandler(alControl, TRUE);
}

bool interrumpido() {
    return ::InterlockedCompareExchange(&gInterrumpido, 0, 0) != 0;
}

void escribir(std::FILE* flujo, std::string_view utf8) {
    std::fflush(flujo);
    const HANDLE h = manejadorDe(flujo);
    if (h == INVALID_HANDLE_VALUE || utf8.empty()) {
        return;
    }
    if (esConsola(h)) {
        // A console shows UTF-16 whatever its code page.
        const std::u16string texto = texto::desdeUtf8OReemplazo(utf8);
        DWORD escritos = 0;
        ::WriteConsoleW(h, texto.data(), static_cast<DWORD>(texto.size()), &escritos, nullptr);
        return;
    }
    // Pipes and files get the bytes as they are: no CR added before LF, as the C runtime's text
    // mode would.
    while (!utf8.empty()) {
        DWORD escritos = 0;
        if (!::WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &escritos, nullptr) ||
            escritos == 0) {
            return;
        }
        utf8.remove_prefix(escritos);
    }
}

}  // namespace tralmix::cli
