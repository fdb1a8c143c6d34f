// Files on Windows: wide paths throughout (a narrow std::filesystem path would pass through the
// runtime's Latin-1 conversion and lose every other script), GetLastError() codes in Fallo.

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>

#include "util/ancho.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix::archivos {
namespace {

// Codes the MinGW headers do not name.
constexpr DWORD kErrorCuota = 1295;     // ERROR_DISK_QUOTA_EXCEEDED
constexpr DWORD kErrorEsCarpeta = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED

Fallo falloDe(DWORD error) {
    const int codigo = static_cast<int>(error);
    return Fallo{codigo, motivo(codigo)};
}

Fallo falloDe(DWORD error, std::u16string texto) {
    return Fallo{static_cast<int>(error), std::move(texto)};
}

Fallo ultimoFallo() {
    const DWORD error = ::GetLastError();
    return falloDe(error != 0 ? error : ERROR_GEN_FAILURE);
}

// A NUL would cut the path short at the system call and name another file.
Identidad identidadDe(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, true};
}

HANDLE manejadorDe(std::intptr_t m) {
    return reinterpret_cast<HANDLE>(m);
}

std::intptr_t guardar(HANDLE h) {
    return reinterpret_cast<std::intptr_t>(h);
}

constexpr std::intptr_t kNinguno = -1;  // INVALID_HANDLE_VALUE

void soltar(std::intptr_t& m) {
    if (m != kNinguno) {
        ::CloseHandle(manejadorDe(m));
    }
    m = kNinguno;
}

// Writes everything; WriteFile may write less than asked for in one call.
DWORD escribirTodo(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD pedir =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size(), std::size_t{1} << 30));
        DWORD escritos = 0;
        if (!::WriteFile(h, bytes.data(), pedir, &escritos, nullptr)) {
            return ::GetLastError();
        }
        bytes.remove_prefix(escritos);
    }
    return 0;
}

// Writes unless an earlier write failed; the first failure is kept and answered from then on.
Fallo escribirRecordando(std::intptr_t m, Fallo& fallo, std::string_view bytes) {
    if (fallo) {
        return fallo;
    }
    if (m == kNinguno) {
        fallo = falloDe(ERROR_INVALID_HANDLE);
    } else if (const DWORD error = escribirTodo(manejadorDe(m), bytes)) {
        fallo = falloDe(error);
    }
    return fallo;
}

std::u16string sufijoAleatorio() {
    static constexpr char16_t kLetras[] = u"abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device azar;
    std::uniform_int_distribution<std::size_t> dist(0, std::size(kLetras) - 2);
    std::u16string s(8, u'x');
    for (char16_t& c : s) {
        c = kLetras[dist(azar)];
    }
    return s;
}

// A new file named base + "." + a random suffix, never through a reparse point planted there:
// its handle and name go to manejador and ruta. Gives up after 100 names that were taken.
Fallo crearUnico(std::u16string_view base, DWORD compartir, DWORD atributos,
                 std::intptr_t& manejador, std::u16string& ruta) {
    for (int intento = 0; intento < 100; ++intento) {
        std::u16string candidato(base);
        candidato += u".";
        candidato += sufijoAleatorio();
        HANDLE h = ::CreateFileW(ancho(candidato).c_str(), GENERIC_WRITE, compartir, nullptr,
                                 CREATE_NEW, atributos | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            manejador = guardar(h);
            ruta = std::move(candidato);
            return {};
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return falloDe(error);
        }
    }
    return falloDe(ERROR_FILE_EXISTS, u"no se pudo elegir un nombre temporal libre");
}

// Where the file name starts: after the last "\" or "/", or after a drive's colon.
std::size_t inicioNombre(std::u16string_view ruta) {
    const auto p = ruta.find_last_of(u"\\/:");
    return p == std::u16string_view::npos ? 0 : p + 1;
}

bool esCarpeta(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

constexpr char16_t kNoAbierto[] = u"el archivo no está abierto";

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

std::filesystem::path aRuta(std::u16string_view ruta) {
    return std::filesystem::path(ancho(ruta));
}

std::u16string desdeRuta(const std::filesystem::path& ruta) {
    const std::wstring& w = ruta.native();
    return std::u16string(w.begin(), w.end());
}

std::u16string motivo(int error) {
    switch (static_cast<DWORD>(error)) {
        case 0:
            return {};
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return u"el archivo o la carpeta no existe";
        case ERROR_DIRECTORY:
            return u"una parte de la ruta no es una carpeta";
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
            return u"permiso denegado";
        case ERROR_WRITE_PROTECT:
            return u"el disco está protegido contra escritura";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return u"no queda espacio en el disco";
        case kErrorCuota:
            return u"se ha superado la cuota de disco";
        case ERROR_FILE_TOO_LARGE:
            return u"el archivo es demasiado grande";
        case ERROR_FILENAME_EXCED_RANGE:
            return u"el nombre es demasiado largo";
        case ERROR_CANT_RESOLVE_FILENAME:
        case ERROR_CANT_ACCESS_FILE:
            return u"la ruta es un enlace o punto de análisis que no se puede seguir";
        case ERROR_TOO_MANY_OPEN_FILES:
            return u"hay demasiados archivos abiertos";
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
            return u"error de entrada/salida del dispositivo";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return u"no hay memoria suficiente";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return u"el archivo está en uso por otro programa";
        case ERROR_NOT_SAME_DEVICE:
            return u"origen y destino están en unidades distintas";
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_PARAMETER:
            return u"la ruta no es válida";
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return u"el archivo ya existe";
        case ERROR_DIR_NOT_EMPTY:
            return u"la carpeta no está vacía";
        case ERROR_NOT_READY:
            return u"el dispositivo no está listo";
        case ERROR_NETNAME_DELETED:
        case ERROR_UNEXP_NET_ERR:
            return u"el archivo ya no está disponible en la red";
        case ERROR_NOT_SUPPORTED:
            return u"el sistema de archivos no admite la operación";
        case ERROR_INVALID_HANDLE:
            return kNoAbierto;
        case kErrorEsCarpeta:
            return u"es una carpeta, no un archivo";
        default:
            return u"error del sistema número " + texto::desdeUtf8OReemplazo(std::to_string(error));
    }
}

bool esArchivo(std::u16string_view ruta) {
    if (!rutaUsable(ruta)) {
        return false;
    }
    const DWORD atributos = ::GetFileAttributesW(ancho(ruta).c_str());
    return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {

Huella huellaDe(const BY_HANDLE_FILE_INFORMATION& info) {
    return {identidadDe(info),
            (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
            static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                info.ftLastWriteTime.dwLowDateTime)};
}

}  // namespace

Identidad identidad(std::u16string_view ruta) {
    return huella(ruta).identidad;
}

Huella huella(std::u16string_view ruta) {
    if (!rutaUsable(ruta)) {
        return {};
    }
    // No access asked for: only the file's identity, through any link, as stat() gives it.
    HANDLE h = ::CreateFileW(ancho(ruta).c_str(), 0,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return {};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool leida = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    if (!leida) {
        return {};
    }
    return huellaDe(info);
}

// ---- Lector ----

Lector::~Lector() {
    soltar(manejador_);
}

Fallo Lector::abrir(std::u16string_view ruta, bool sinEnlace, std::uint64_t maximo) {
    maximo_ = maximo;
    soltar(manejador_);
    huella_ = {};
    leidos_ = 0;
    if (!rutaUsable(ruta)) {
        return falloDe(ruta.empty() ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_NAME);
    }
    // Backup semantics lets a folder open too, so that it is named as what it is; others may go
    // on reading and writing the file meanwhile, as on POSIX.
    DWORD banderas = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN;
    if (sinEnlace) {
        banderas |= FILE_FLAG_OPEN_REPARSE_POINT;
    }
    HANDLE h = ::CreateFileW(ancho(ruta).c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, banderas, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return ultimoFallo();
    }
    std::intptr_t m = guardar(h);
    // Consoles, pipes and devices are refused before anything is read from them.
    const DWORD tipo = ::GetFileType(h);
    if (tipo == FILE_TYPE_PIPE) {
        soltar(m);
        return falloDe(ERROR_INVALID_PARAMETER, u"es una tubería, no un archivo normal");
    }
    if (tipo != FILE_TYPE_DISK) {
        soltar(m);
        return falloDe(ERROR_INVALID_PARAMETER, u"es un dispositivo, no un archivo normal");
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info)) {
        const Fallo f = ultimoFallo();
        soltar(m);
        return f;
    }
    if (esCarpeta(info)) {
        soltar(m);
        return falloDe(kErrorEsCarpeta);
    }
    if (sinEnlace && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        soltar(m);
        return falloDe(ERROR_CANT_RESOLVE_FILENAME);
    }
    const std::uint64_t tamano =
        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    // A file beyond what the text conversions take (and far beyond any list) is refused before
    // anything is read.
    if (tamano > maximo_) {
        soltar(m);
        return falloDe(ERROR_FILE_TOO_LARGE);
    }
    manejador_ = m;
    huella_ = huellaDe(info);
    return {};
}

Fallo Lector::leer(char* destino, std::size_t n, std::size_t& leidos) {
    leidos = 0;
    if (manejador_ == kNinguno) {
        return falloDe(ERROR_INVALID_HANDLE, kNoAbierto);
    }
    const DWORD pedir = static_cast<DWORD>(std::min<std::size_t>(n, std::size_t{1} << 30));
    DWORD r = 0;
    if (!::ReadFile(manejadorDe(manejador_), destino, pedir, &r, nullptr)) {
        return ultimoFallo();
    }
    leidos = r;
    leidos_ += leidos;
    // A file that keeps growing while it is read is stopped, not followed without end.
    if (leidos_ > maximo_) {
        return falloDe(ERROR_FILE_TOO_LARGE);
    }
    return {};
}

Fallo Lector::irA(std::uint64_t posicion) {
    if (manejador_ == kNinguno) {
        return falloDe(ERROR_INVALID_HANDLE, kNoAbierto);
    }
    if (posicion > maximo_) {
        return falloDe(ERROR_FILE_TOO_LARGE);
    }
    LARGE_INTEGER donde{};
    donde.QuadPart = static_cast<LONGLONG>(posicion);
    if (!::SetFilePointerEx(manejadorDe(manejador_), donde, nullptr, FILE_BEGIN)) {
        return ultimoFallo();
    }
    leidos_ = posicion;
    return {};
}

// ---- EscritorAtomico ----

EscritorAtomico::~EscritorAtomico() {
    descartar();
}

void EscritorAtomico::descartar() {
    soltar(manejador_);
    if (!temporal_.empty()) {
        ::DeleteFileW(ancho(temporal_).c_str());
        temporal_.clear();
    }
}

namespace {

// Hidden files of earlier writers: one that a live writer holds (shared with no one) cannot be
// removed, so only those a run ended by force left behind go.
void quitarOcultosAbandonados(std::u16string_view carpeta, std::u16string_view nombre) {
    std::error_code error;
    const std::filesystem::path donde =
        carpeta.empty() ? std::filesystem::path(L".") : aRuta(carpeta);
    for (const auto& entrada : std::filesystem::directory_iterator(donde, error)) {
        if (esOcultoDeEscritor(desdeRuta(entrada.path().filename()), nombre)) {
            ::DeleteFileW(entrada.path().c_str());
        }
    }
}

}  // namespace

Fallo EscritorAtomico::abrir(std::u16string_view destino) {
    descartar();
    fallo_ = {};
    if (!rutaUsable(destino)) {
        fallo_ = falloDe(ERROR_INVALID_NAME);
        return fallo_;
    }
    destino_ = std::u16string(destino);
    const std::size_t corte = inicioNombre(destino);
    const std::u16string_view carpeta = destino.substr(0, corte);
    const std::u16string_view nombre = destino.substr(corte);
    // A hidden new file beside the target: the same volume, so the final move replaces the
    // target in one step.
    std::u16string base(carpeta);
    base += u".";
    base += nombre;
    quitarOcultosAbandonados(carpeta, nombre);
    fallo_ = crearUnico(base, 0, FILE_ATTRIBUTE_HIDDEN, manejador_, temporal_);
    if (static_cast<DWORD>(fallo_.error) == ERROR_PATH_NOT_FOUND &&
        parteEsArchivo(std::u16string(carpeta))) {
        fallo_ = falloDe(ERROR_DIRECTORY);
    }
    return fallo_;
}

Fallo EscritorAtomico::escribir(std::string_view bytes) {
    return escribirRecordando(manejador_, fallo_, bytes);
}

Fallo EscritorAtomico::confirmar() {
    if (!fallo_ && manejador_ == kNinguno) {
        fallo_ = falloDe(ERROR_INVALID_HANDLE, kNoAbierto);
    }
    if (!fallo_ && !::FlushFileBuffers(manejadorDe(manejador_))) {
        fallo_ = ultimoFallo();
    }
    if (!fallo_) {
        const bool cerrado = ::CloseHandle(manejadorDe(manejador_)) != 0;
        manejador_ = kNinguno;
        if (!cerrado) {
            fallo_ = ultimoFallo();
        }
    }
    if (!fallo_) {
        // The list keeps its plain look once it has its real name.
        ::SetFileAttributesW(ancho(temporal_).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::MoveFileExW(ancho(temporal_).c_str(), ancho(destino_).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            fallo_ = ultimoFallo();
        }
    }
    if (fallo_) {
        descartar();
        return fallo_;
    }
    temporal_.clear();
    return {};
}

// ---- ArchivoTrabajo ----

ArchivoTrabajo::~ArchivoTrabajo() {
    quitarSiSobra();
}

void ArchivoTrabajo::quitarSiSobra() {
    soltar(manejador_);
    if (!ruta_.empty() && (propio_ || !completo_)) {
        ::DeleteFileW(ancho(ruta_).c_str());
    }
}

Fallo ArchivoTrabajo::crear(std::u16string_view ruta, const Identidad& evitar) {
    soltar(manejador_);
    fallo_ = {};
    completo_ = false;
    // Started again on the file of its own it already made: that one stays its own.
    propio_ = propio_ && ruta == ruta_;
    if (!rutaUsable(ruta)) {
        fallo_ = falloDe(ERROR_INVALID_NAME);
        return fallo_;
    }
    const std::wstring camino = ancho(ruta);
    // Others may read the working file while it is written, never write or remove it.
    constexpr DWORD kCompartir = FILE_SHARE_READ;
    // A new file where nothing is, without following whatever may appear there meanwhile.
    HANDLE h = ::CreateFileW(camino.c_str(), GENERIC_WRITE, kCompartir, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        manejador_ = guardar(h);
        ruta_ = std::u16string(ruta);
        return {};
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
        // An earlier working file is reused only when it is a plain file of one name: not a
        // reparse point (a link planted at the path), not a folder, not the input itself. It is
        // examined before anything in it is touched.
        h = ::CreateFileW(camino.c_str(), GENERIC_WRITE, kCompartir, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            BY_HANDLE_FILE_INFORMATION info{};
            const bool leida = ::GetFileInformationByHandle(h, &info) != 0;
            const bool simple = leida && !esCarpeta(info) &&
                                (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
                                info.nNumberOfLinks == 1 && ::GetFileType(h) == FILE_TYPE_DISK;
            const bool esEvitado = evitar.valida && identidadDe(info).mismoArchivo(evitar);
            if (simple && !esEvitado && ::SetEndOfFile(h)) {
                manejador_ = guardar(h);
                ruta_ = std::u16string(ruta);
                return {};
            }
            ::CloseHandle(h);
        }
    } else if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
        fallo_ = falloDe(error);
        return fallo_;
    }
    // The name is taken by something we must not touch: a unique new file beside it.
    fallo_ = crearUnico(ruta, kCompartir, FILE_ATTRIBUTE_NORMAL, manejador_, ruta_);
    propio_ = !fallo_;
    return fallo_;
}

Fallo ArchivoTrabajo::escribir(std::string_view bytes) {
    return escribirRecordando(manejador_, fallo_, bytes);
}

Fallo ArchivoTrabajo::cerrar() {
    if (manejador_ != kNinguno) {
        const bool cerrado = ::CloseHandle(manejadorDe(manejador_)) != 0;
        manejador_ = kNinguno;
        if (!cerrado && !fallo_) {
            fallo_ = ultimoFallo();
        }
        completo_ = !fallo_;
    }
    return fallo_;
}

}  // namespace tralmix::archivos
