// The system around the program on Windows: the profile and temporary folders, the program's
// folder, UTF-16 arguments and wide paths, the shell's opener.

#include <windows.h>

#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "util/ancho.h"
#include "util/entorno.h"
#include "util/texto.h"

namespace tralmix::entorno {

std::u16string carpetaPersonal() {
    PWSTR ruta = nullptr;
    std::u16string carpeta;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Profile, 0, nullptr, &ruta))) {
        carpeta = deAncho(ruta);
    }
    ::CoTaskMemFree(ruta);
    return carpeta.empty() ? std::u16string(u".") : carpeta;
}

std::u16string carpetaTemporal() {
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

std::u16string carpetaPrograma() {
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

Fecha hoy() {
    SYSTEMTIME hoy{};
    ::GetLocalTime(&hoy);
    return Fecha{hoy.wYear, hoy.wMonth, hoy.wDay};
}

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

std::u16string abrir(std::u16string_view destino, std::chrono::milliseconds) {
    // Above 32 the shell started a program for it; below, it says why not. The shell never waits
    // for the viewer, so there is nothing to wait for here.
    const std::wstring carpeta = ancho(carpetaPrograma());
    const auto respuesta = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        nullptr, L"open", ancho(destino).c_str(), L"", carpeta.c_str(), SW_SHOWNORMAL));
    switch (respuesta) {
        case 0:
        case SE_ERR_OOM:
            return u"no hay memoria suficiente";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return u"el archivo o la carpeta no existe";
        case ERROR_BAD_FORMAT:
            return u"el programa que debía abrirlo no es un programa válido";
        case SE_ERR_ACCESSDENIED:
            return u"acceso denegado";
        case SE_ERR_SHARE:
            return u"otro programa está usando el archivo";
        case SE_ERR_ASSOCINCOMPLETE:
        case SE_ERR_NOASSOC:
            return u"no hay ningún programa para abrirlo en este equipo";
        case SE_ERR_DDETIMEOUT:
        case SE_ERR_DDEFAIL:
        case SE_ERR_DDEBUSY:
            return u"el programa que debía abrirlo no respondió";
        case SE_ERR_DLLNOTFOUND:
            return u"falta una biblioteca del programa que debía abrirlo";
        default:
            break;
    }
    if (respuesta > 32) {
        return {};
    }
    return u"el sistema no pudo abrirlo (código " +
           texto::desdeUtf8OReemplazo(std::to_string(respuesta)) + u")";
}

}  // namespace tralmix::entorno
