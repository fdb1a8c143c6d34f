// Files on Windows: wide paths throughout (a narrow std::filesystem path would pass through the
// runtime's Latin-1 conversion and lose every other script), GetLastError() codes in Fallo.

#include <windows.h>

#include <algorithm>
#include <string>

#include "util/ancho.h"
#include "util/archivos.h"
#include "util/archivos_sistema.h"

namespace tralmix::archivos {
namespace {

// Codes the MinGW headers do not name.
constexpr DWORD kErrorCuota = 1295;     // ERROR_DISK_QUOTA_EXCEEDED
constexpr DWORD kErrorEsCarpeta = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED

}  // namespace

std::filesystem::path aRuta(std::u16string_view ruta) {
    return std::filesystem::path(ancho(ruta));
}

std::u16string desdeRuta(const std::filesystem::path& ruta) {
    const std::wstring& w = ruta.native();
    return std::u16string(w.begin(), w.end());
}

namespace sistema {

std::span<const Razon> razones() {
    static constexpr Razon kRazones[] = {
        {u"el archivo o la carpeta no existe",
         {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_DRIVE, ERROR_BAD_NETPATH,
          ERROR_BAD_NET_NAME}},
        {u"una parte de la ruta no es una carpeta", {ERROR_DIRECTORY}},
        {u"permiso denegado", {ERROR_ACCESS_DENIED, ERROR_PRIVILEGE_NOT_HELD}},
        {u"el disco está protegido contra escritura", {ERROR_WRITE_PROTECT}},
        {u"no queda espacio en el disco", {ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL}},
        {u"se ha superado la cuota de disco", {kErrorCuota}},
        {u"el archivo es demasiado grande", {ERROR_FILE_TOO_LARGE}},
        {u"el nombre es demasiado largo", {ERROR_FILENAME_EXCED_RANGE}},
        {u"hay demasiados archivos abiertos", {ERROR_TOO_MANY_OPEN_FILES}},
        {u"error de entrada/salida del dispositivo",
         {ERROR_CRC, ERROR_IO_DEVICE, ERROR_READ_FAULT, ERROR_WRITE_FAULT}},
        {u"no hay memoria suficiente", {ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY}},
        {u"el archivo está en uso por otro programa",
         {ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION}},
        {u"origen y destino están en unidades distintas", {ERROR_NOT_SAME_DEVICE}},
        {u"la ruta no es válida",
         {ERROR_INVALID_NAME, ERROR_BAD_PATHNAME, ERROR_INVALID_PARAMETER}},
        {u"el archivo ya existe", {ERROR_FILE_EXISTS, ERROR_ALREADY_EXISTS}},
        {u"la carpeta no está vacía", {ERROR_DIR_NOT_EMPTY}},
        {u"el dispositivo no está listo", {ERROR_NOT_READY}},
        {u"el archivo ya no está disponible en la red",
         {ERROR_NETNAME_DELETED, ERROR_UNEXP_NET_ERR}},
        {u"el sistema de archivos no admite la operación", {ERROR_NOT_SUPPORTED}},
        {u"el archivo no está abierto", {ERROR_INVALID_HANDLE}},
        {u"es una carpeta, no un archivo", {kErrorEsCarpeta}},
    };
    return kRazones;
}

namespace {

Fallo falloDe(DWORD error) {
    return Fallo{static_cast<int>(error), motivo(static_cast<int>(error))};
}

Fallo ultimo() {
    const DWORD error = ::GetLastError();
    return falloDe(error != 0 ? error : ERROR_GEN_FAILURE);
}

HANDLE h(Manejador m) {
    return reinterpret_cast<HANDLE>(m);
}

bool abrir(std::u16string_view ruta, DWORD acceso, DWORD compartir, DWORD como, DWORD banderas,
           Manejador& m) {
    HANDLE nuevo =
        ::CreateFileW(ancho(ruta).c_str(), acceso, compartir, nullptr, como, banderas, nullptr);
    if (nuevo == INVALID_HANDLE_VALUE) {
        return false;
    }
    m = reinterpret_cast<Manejador>(nuevo);
    return true;
}

constexpr DWORD kTodos = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Nanoseconds from 1601, where Windows counts time, to 1970, in its units of 100 ns.
constexpr std::int64_t kDe1601 = 116444736000000000;

// Windows answers "path not found" also where a folder of the path is a file; the nearest part
// that exists tells which it is.
bool parteEsArchivo(std::u16string ruta) {
    for (;;) {
        while (!ruta.empty() && (ruta.back() == u'\\' || ruta.back() == u'/')) {
            ruta.pop_back();
        }
        if (ruta.empty() || ruta.back() == u':') {
            return false;
        }
        const DWORD atributos = ::GetFileAttributesW(ancho(ruta).c_str());
        if (atributos != INVALID_FILE_ATTRIBUTES) {
            return (atributos & FILE_ATTRIBUTE_DIRECTORY) == 0;
        }
        ruta.resize(inicioNombre(ruta));
    }
}

}  // namespace

int codigo(Comun que) {
    static constexpr int kCodigos[] = {ERROR_INVALID_HANDLE, ERROR_FILE_NOT_FOUND,
                                       ERROR_INVALID_NAME, ERROR_FILE_TOO_LARGE, ERROR_FILE_EXISTS};
    return kCodigos[static_cast<int>(que)];
}

// After the last "\" or "/", or after a drive's colon.
std::size_t inicioNombre(std::u16string_view ruta) {
    const auto p = ruta.find_last_of(u"\\/:");
    return p == std::u16string_view::npos ? 0 : p + 1;
}

Fallo info(Manejador m, Info& info) {
    BY_HANDLE_FILE_INFORMATION i{};
    if (!::GetFileInformationByHandle(h(m), &i)) {
        return ultimo();
    }
    const auto doble = [](DWORD alto, DWORD bajo) {
        return (static_cast<std::uint64_t>(alto) << 32) | bajo;
    };
    info.huella = {{i.dwVolumeSerialNumber, doble(i.nFileIndexHigh, i.nFileIndexLow), true},
                   doble(i.nFileSizeHigh, i.nFileSizeLow),
                   (static_cast<std::int64_t>(
                        doble(i.ftLastWriteTime.dwHighDateTime, i.ftLastWriteTime.dwLowDateTime)) -
                    kDe1601) *
                       100};
    info.normal =
        (i.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
        ::GetFileType(h(m)) == FILE_TYPE_DISK;
    info.carpeta = (i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.propio = true;
    info.nombres = i.nNumberOfLinks;
    return {};
}

Fallo info(std::u16string_view ruta, bool sinEnlace, Info& i) {
    // No access asked for: only what the file is, whoever holds it.
    Manejador m = kNinguno;
    if (!abrir(ruta, 0, kTodos, OPEN_EXISTING,
               FILE_FLAG_BACKUP_SEMANTICS | (sinEnlace ? FILE_FLAG_OPEN_REPARSE_POINT : 0), m)) {
        return ultimo();
    }
    Fallo f = info(m, i);
    cerrar(m);
    return f;
}

Fallo abrirLectura(std::u16string_view ruta, bool sinEnlace, Manejador& m, Info& i) {
    // Backup semantics lets a folder open too, so that it is named as what it is; others may go
    // on reading and writing the file meanwhile, as on POSIX.
    if (!abrir(ruta, GENERIC_READ, kTodos, OPEN_EXISTING,
               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN |
                   (sinEnlace ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
               m)) {
        return ultimo();
    }
    // Consoles, pipes and devices are refused before anything is read from them.
    const DWORD tipo = ::GetFileType(h(m));
    Fallo f;
    if (tipo != FILE_TYPE_DISK) {
        f = Fallo{ERROR_INVALID_PARAMETER, tipo == FILE_TYPE_PIPE
                                               ? u"es una tubería, no un archivo normal"
                                               : u"es un dispositivo, no un archivo normal"};
    } else if (!(f = info(m, i)) && (i.carpeta || (sinEnlace && !i.normal))) {
        f = falloDe(i.carpeta ? kErrorEsCarpeta : ERROR_CANT_RESOLVE_FILENAME);
    }
    if (f) {
        cerrar(m);
    }
    return f;
}

Fallo crear(std::u16string_view ruta, Uso uso, Manejador& m, bool& ocupado) {
    // The hidden list is shared with no one but for its own rename; others may read a working
    // file while it is written, never write or remove it.
    const bool oculto = uso == Uso::Oculto;
    if (abrir(
            ruta, GENERIC_WRITE | DELETE, oculto ? FILE_SHARE_DELETE : FILE_SHARE_READ, CREATE_NEW,
            (oculto ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL) | FILE_FLAG_OPEN_REPARSE_POINT,
            m)) {
        return {};
    }
    const DWORD error = ::GetLastError();
    ocupado = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
              ((error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) &&
               ::GetFileAttributesW(ancho(ruta).c_str()) != INVALID_FILE_ATTRIBUTES);
    if (error == ERROR_PATH_NOT_FOUND &&
        parteEsArchivo(std::u16string(ruta.substr(0, inicioNombre(ruta))))) {
        return falloDe(ERROR_DIRECTORY);
    }
    return falloDe(error);
}

Fallo abrirExistente(std::u16string_view ruta, bool paraQuitar, Manejador& m) {
    // To remove a file, shared with no one: it opens only where nobody else has it open.
    return abrir(ruta, (paraQuitar ? GENERIC_READ : GENERIC_WRITE) | DELETE,
                 paraQuitar ? 0 : FILE_SHARE_READ, OPEN_EXISTING,
                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, m)
               ? Fallo{}
               : ultimo();
}

Fallo leer(Manejador m, char* destino, std::size_t n, std::size_t& leidos) {
    DWORD r = 0;
    if (!::ReadFile(h(m), destino, static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30)), &r,
                    nullptr)) {
        return ultimo();
    }
    leidos = r;
    return {};
}

Fallo escribir(Manejador m, std::string_view bytes) {
    // WriteFile may write less than asked for in one call.
    while (!bytes.empty()) {
        DWORD escritos = 0;
        if (!::WriteFile(h(m), bytes.data(),
                         static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30)),
                         &escritos, nullptr)) {
            return ultimo();
        }
        bytes.remove_prefix(escritos);
    }
    return {};
}

Fallo irA(Manejador m, std::uint64_t posicion) {
    LARGE_INTEGER donde{};
    donde.QuadPart = static_cast<LONGLONG>(posicion);
    return ::SetFilePointerEx(h(m), donde, nullptr, FILE_BEGIN) ? Fallo{} : ultimo();
}

Fallo vaciar(Manejador m) {
    if (auto f = irA(m, 0)) {
        return f;
    }
    return ::SetEndOfFile(h(m)) ? Fallo{} : ultimo();
}

void ponerEscrito(Manejador m, std::int64_t escrito) {
    const auto t = static_cast<std::uint64_t>(escrito / 100 + kDe1601);
    const FILETIME tiempo{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
    ::SetFileTime(h(m), nullptr, nullptr, &tiempo);
}

bool retener(Manejador m) {
    // The sharing the file was opened with holds it; a moment's lock of every byte shows whether
    // another program locks a part of it. It is let go at once: this program's own reading of a
    // working file goes through another handle.
    OVERLAPPED todo{};
    if (!::LockFileEx(h(m), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                      MAXDWORD, &todo)) {
        return false;
    }
    ::UnlockFileEx(h(m), 0, MAXDWORD, MAXDWORD, &todo);
    return true;
}

Fallo volcar(Manejador m) {
    return ::FlushFileBuffers(h(m)) ? Fallo{} : ultimo();
}

void mostrar(Manejador m) {
    // The list keeps its plain look once it has its real name; times of 0 stay as they are.
    FILE_BASIC_INFO basica{};
    basica.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(h(m), FileBasicInfo, &basica, sizeof basica);
}

Fallo renombrar(std::u16string_view de, std::u16string_view a) {
    // A list another run has just put in place may be held a moment longer by that run: waited
    // for, a second at most, as a list a viewer holds open is.
    for (int intento = 0;; ++intento) {
        if (::MoveFileExW(ancho(de).c_str(), ancho(a).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return {};
        }
        const DWORD error = ::GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || intento == 40) {
            return falloDe(error);
        }
        ::Sleep(25);
    }
}

bool enUso(const Fallo& f) {
    const auto e = static_cast<DWORD>(f.error);
    return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION;
}

void quitar(Manejador m, std::u16string_view) {
    // By the handle: the file it holds goes when it is closed, whatever the name names by then.
    FILE_DISPOSITION_INFO quitarlo{TRUE};
    ::SetFileInformationByHandle(h(m), FileDispositionInfo, &quitarlo, sizeof quitarlo);
}

Fallo cerrar(Manejador& m) {
    const bool bien = m == kNinguno || ::CloseHandle(h(m));
    m = kNinguno;
    return bien ? Fallo{} : ultimo();
}

}  // namespace sistema
}  // namespace tralmix::archivos
