#include "util/archivos.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <string>

#include "util/texto.h"

namespace tralmix::archivos {
namespace {

Fallo falloDe(int error) {
    return Fallo{error, motivo(error)};
}

// A NUL would cut the path short at the system call and name another file.
Identidad identidadDe(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), true};
}

Huella huellaDe(const struct stat& info) {
    return {identidadDe(info), static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

Fallo falloDe(int error, std::u16string texto) {
    return Fallo{error, std::move(texto)};
}

std::u16string clase(mode_t modo) {
    if (S_ISDIR(modo)) {
        return u"es una carpeta, no un archivo";
    }
    if (S_ISFIFO(modo)) {
        return u"es una tubería (FIFO), no un archivo normal";
    }
    if (S_ISCHR(modo) || S_ISBLK(modo)) {
        return u"es un dispositivo, no un archivo normal";
    }
    if (S_ISSOCK(modo)) {
        return u"es un socket, no un archivo normal";
    }
    return u"no es un archivo normal";
}

// Writes everything, retrying short writes and interruptions.
int escribirTodo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Writes unless an earlier write failed; the first failure is kept and answered from then on.
Fallo escribirRecordando(int fd, Fallo& fallo, std::string_view bytes) {
    if (fallo) {
        return fallo;
    }
    if (fd < 0) {
        fallo = falloDe(EBADF, u"el archivo no está abierto");
    } else if (const int error = escribirTodo(fd, bytes)) {
        fallo = falloDe(error);
    }
    return fallo;
}

std::string sufijoAleatorio() {
    static constexpr char kLetras[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device azar;
    std::uniform_int_distribution<std::size_t> dist(0, sizeof(kLetras) - 2);
    std::string s(8, 'x');
    for (char& c : s) {
        c = kLetras[dist(azar)];
    }
    return s;
}

int cerrarFd(int& fd) {
    int error = 0;
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) {
        error = errno;
    }
    fd = -1;
    return error;
}

}  // namespace

// Names are bytes here. A byte that is not part of valid UTF-8 (a Latin-1 name on an old disk)
// is kept as the lone surrogate U+DC00 + byte, which no decoded text holds, so every name goes
// back to the system byte for byte; shown to a person it reads as U+FFFD.
std::filesystem::path aRuta(std::u16string_view ruta) {
    std::string bytes;
    std::size_t inicio = 0;
    for (std::size_t k = 0; k < ruta.size(); ++k) {
        const char16_t c = ruta[k];
        const bool trasAlto = k > 0 && ruta[k - 1] >= 0xD800 && ruta[k - 1] <= 0xDBFF;
        if (c >= 0xDC80 && c <= 0xDCFF && !trasAlto) {
            texto::agregarUtf8(bytes, ruta.substr(inicio, k - inicio));
            bytes += static_cast<char>(c & 0xFF);
            inicio = k + 1;
        }
    }
    texto::agregarUtf8(bytes, ruta.substr(inicio));
    return std::filesystem::path(std::move(bytes));
}

std::u16string desdeRuta(const std::filesystem::path& ruta) {
    const std::string& b = ruta.native();
    std::u16string salida;
    if (texto::desdeUtf8(b, salida)) {
        return salida;
    }
    salida.clear();
    for (std::size_t i = 0; i < b.size();) {
        const auto c = static_cast<unsigned char>(b[i]);
        const std::size_t largo = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        std::u16string punto;
        if (i + largo <= b.size() && texto::desdeUtf8(b.substr(i, largo), punto)) {
            salida += punto;
            i += largo;
        } else {
            salida += static_cast<char16_t>(0xDC00 | c);
            ++i;
        }
    }
    return salida;
}

std::u16string motivo(int error) {
    switch (error) {
        case 0:
            return {};
        case ENOENT:
            return u"el archivo o la carpeta no existe";
        case ENOTDIR:
            return u"una parte de la ruta no es una carpeta";
        case EISDIR:
            return u"es una carpeta, no un archivo";
        case EACCES:
        case EPERM:
            return u"permiso denegado";
        case EROFS:
            return u"el sistema de archivos es de solo lectura";
        case ENOSPC:
            return u"no queda espacio en el disco";
        case EDQUOT:
            return u"se ha superado la cuota de disco";
        case EFBIG:
            return u"el archivo es demasiado grande";
        case ENAMETOOLONG:
            return u"el nombre es demasiado largo";
        case ELOOP:
            return u"la ruta es un enlace simbólico o tiene demasiados enlaces";
        case EMFILE:
        case ENFILE:
            return u"hay demasiados archivos abiertos";
        case EIO:
            return u"error de entrada/salida del dispositivo";
        case ENOMEM:
            return u"no hay memoria suficiente";
        case EBUSY:
        case ETXTBSY:
            return u"el archivo está en uso";
        case EXDEV:
            return u"origen y destino están en sistemas de archivos distintos";
        case EINVAL:
            return u"la ruta no es válida";
        case EEXIST:
            return u"el archivo ya existe";
        case ENOTEMPTY:
            return u"la carpeta no está vacía";
        case EMLINK:
            return u"hay demasiados enlaces";
        case EOVERFLOW:
            return u"el archivo es demasiado grande";
        case EAGAIN:
            return u"el recurso no está disponible en este momento";
        case ETIMEDOUT:
            return u"se agotó el tiempo de espera";
        case ESTALE:
            return u"el archivo ya no está disponible en el servidor";
        case EOPNOTSUPP:
            return u"el sistema de archivos no admite la operación";
        case EBADF:
            return u"el archivo no está abierto";
        case ENXIO:
        case ENODEV:
            return u"el dispositivo no existe o no está disponible";
        default:
            return u"error del sistema número " + texto::desdeUtf8OReemplazo(std::to_string(error));
    }
}

namespace {

int fdDe(std::intptr_t manejador) {
    return static_cast<int>(manejador);
}

}  // namespace

bool esArchivo(std::u16string_view ruta) {
    struct stat info {};
    return rutaUsable(ruta) && ::stat(aRuta(ruta).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// ---- Lector ----

Lector::~Lector() {
    int fd = fdDe(manejador_);
    cerrarFd(fd);
}

Fallo Lector::abrir(std::u16string_view ruta, bool sinEnlace, std::uint64_t maximo) {
    maximo_ = maximo;
    int viejo = fdDe(manejador_);
    cerrarFd(viejo);
    manejador_ = -1;
    huella_ = {};
    leidos_ = 0;
    if (!rutaUsable(ruta)) {
        return falloDe(ruta.empty() ? ENOENT : EINVAL);
    }
    // Non-blocking so that a FIFO without a writer cannot hold us at open().
    int fd = ::open(aRuta(ruta).c_str(),
                    O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (sinEnlace ? O_NOFOLLOW : 0));
    if (fd < 0) {
        return falloDe(errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        cerrarFd(fd);
        return falloDe(error);
    }
    if (!S_ISREG(info.st_mode)) {
        cerrarFd(fd);
        return falloDe(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, clase(info.st_mode));
    }
    // A file beyond what the text conversions take (and far beyond any list) is refused before
    // anything is read.
    if (static_cast<std::uint64_t>(info.st_size) > maximo_) {
        cerrarFd(fd);
        return falloDe(EFBIG);
    }
    // Reading a regular file never blocks; the flag only guarded the open.
    ::fcntl(fd, F_SETFL, 0);
    manejador_ = fd;
    huella_ = huellaDe(info);
    return {};
}

Fallo Lector::leer(char* destino, std::size_t n, std::size_t& leidos) {
    leidos = 0;
    if (manejador_ < 0) {
        return falloDe(EBADF, u"el archivo no está abierto");
    }
    for (;;) {
        const ssize_t r = ::read(fdDe(manejador_), destino, n);
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            return falloDe(errno);
        }
        leidos = static_cast<std::size_t>(r);
        leidos_ += leidos;
        // A file that keeps growing while it is read is stopped, not followed without end.
        if (leidos_ > maximo_) {
            return falloDe(EFBIG);
        }
        return {};
    }
}

Fallo Lector::irA(std::uint64_t posicion) {
    if (manejador_ < 0) {
        return falloDe(EBADF, u"el archivo no está abierto");
    }
    if (posicion > maximo_ ||
        ::lseek(fdDe(manejador_), static_cast<off_t>(posicion), SEEK_SET) < 0) {
        return falloDe(posicion > maximo_ ? EFBIG : errno);
    }
    leidos_ = posicion;
    return {};
}

Huella huella(std::u16string_view ruta) {
    struct stat info {};
    if (!rutaUsable(ruta) || ::stat(aRuta(ruta).c_str(), &info) != 0) {
        return {};
    }
    return huellaDe(info);
}

Identidad identidad(std::u16string_view ruta) {
    struct stat info {};
    if (!rutaUsable(ruta) || ::stat(aRuta(ruta).c_str(), &info) != 0) {
        return {};
    }
    return identidadDe(info);
}

// ---- EscritorAtomico ----

EscritorAtomico::~EscritorAtomico() {
    descartar();
}

void EscritorAtomico::descartar() {
    int fd = fdDe(manejador_);
    cerrarFd(fd);
    manejador_ = -1;
    if (!temporal_.empty()) {
        ::unlink(aRuta(temporal_).c_str());
        temporal_.clear();
    }
}

namespace {

// Hidden files of earlier writers that no live process holds: each writer locks its own.
void quitarOcultosAbandonados(const std::filesystem::path& carpeta, std::string_view nombre) {
    const std::u16string destino = desdeRuta(std::string(nombre));
    std::error_code error;
    for (const auto& entrada : std::filesystem::directory_iterator(carpeta, error)) {
        if (!esOcultoDeEscritor(desdeRuta(entrada.path().filename()), destino)) {
            continue;
        }
        int fd = ::open(entrada.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat info {};
        struct stat ahora {};
        // Removed only while we hold it, and only if the name still names what we hold.
        if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(entrada.path().c_str(), &ahora) == 0 &&
            identidadDe(ahora).mismoArchivo(identidadDe(info))) {
            ::unlink(entrada.path().c_str());
        }
        cerrarFd(fd);
    }
}

}  // namespace

Fallo EscritorAtomico::abrir(std::u16string_view destino) {
    descartar();
    fallo_ = {};
    if (!rutaUsable(destino)) {
        fallo_ = falloDe(EINVAL);
        return fallo_;
    }
    destino_ = std::u16string(destino);
    const std::filesystem::path camino = aRuta(destino);
    const std::filesystem::path carpeta =
        camino.has_parent_path() ? camino.parent_path() : std::filesystem::path(".");
    const std::string nombre = camino.filename().native();
    quitarOcultosAbandonados(carpeta, nombre);
    // A hidden name beside the target: same file system, so the final rename is atomic.
    for (int intento = 0; intento < 100; ++intento) {
        const std::filesystem::path candidato = carpeta / ("." + nombre + "." + sufijoAleatorio());
        int fd =
            ::open(candidato.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            // Held from now on; another run may have taken it for abandoned before that.
            struct stat info {};
            struct stat ahora {};
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &info) != 0 ||
                ::lstat(candidato.c_str(), &ahora) != 0 ||
                !identidadDe(ahora).mismoArchivo(identidadDe(info))) {
                cerrarFd(fd);
                continue;
            }
            manejador_ = fd;
            temporal_ = desdeRuta(candidato);
            return {};
        }
        if (errno != EEXIST) {
            fallo_ = falloDe(errno);
            return fallo_;
        }
    }
    fallo_ = falloDe(EEXIST, u"no se pudo elegir un nombre temporal libre");
    return fallo_;
}

Fallo EscritorAtomico::escribir(std::string_view bytes) {
    return escribirRecordando(fdDe(manejador_), fallo_, bytes);
}

Fallo EscritorAtomico::confirmar() {
    int fd = fdDe(manejador_);
    if (!fallo_ && fd < 0) {
        fallo_ = falloDe(EBADF, u"el archivo no está abierto");
    }
    if (!fallo_ && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        fallo_ = falloDe(errno);
    }
    if (!fallo_) {
        const int error = cerrarFd(fd);
        manejador_ = -1;
        if (error != 0) {
            fallo_ = falloDe(error);
        }
    }
    if (!fallo_ && ::rename(aRuta(temporal_).c_str(), aRuta(destino_).c_str()) != 0) {
        fallo_ = falloDe(errno);
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
    // Removed while still held, so that no other run takes it up in between.
    if (!ruta_.empty() && (propio_ || !completo_)) {
        ::unlink(aRuta(ruta_).c_str());
    }
    int fd = fdDe(manejador_);
    cerrarFd(fd);
    manejador_ = -1;
}

Fallo ArchivoTrabajo::crear(std::u16string_view ruta, const Identidad& evitar) {
    int viejo = fdDe(manejador_);
    cerrarFd(viejo);
    manejador_ = -1;
    fallo_ = {};
    completo_ = false;
    // Started again on the file of its own it already made: that one stays its own.
    propio_ = propio_ && ruta == ruta_;
    if (!rutaUsable(ruta)) {
        fallo_ = falloDe(EINVAL);
        return fallo_;
    }
    const std::filesystem::path camino = aRuta(ruta);
    // No O_TRUNC yet: the file is examined before anything in it is touched.
    int fd = ::open(camino.c_str(),
                    O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd >= 0) {
        struct stat info {};
        const bool nuestro = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                             info.st_uid == ::geteuid() && info.st_nlink == 1;
        const bool esEvitado = evitar.valida && identidadDe(info).mismoArchivo(evitar);
        // Held by another run that is still writing or loading it: that run keeps it.
        const bool libre = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (nuestro && !esEvitado && libre && ::fchmod(fd, 0600) == 0 && ::ftruncate(fd, 0) == 0 &&
            ::fcntl(fd, F_SETFL, 0) == 0) {
            manejador_ = fd;
            ruta_ = std::u16string(ruta);
            return {};
        }
        cerrarFd(fd);
    }
    // The name is taken by something we must not touch: a unique new file beside it.
    std::string plantilla = camino.native() + ".XXXXXX";
    fd = ::mkostemp(plantilla.data(), O_CLOEXEC);
    if (fd < 0) {
        fallo_ = falloDe(errno);
        return fallo_;
    }
    ::flock(fd, LOCK_EX | LOCK_NB);
    manejador_ = fd;
    ruta_ = desdeRuta(plantilla);
    propio_ = true;
    return {};
}

Fallo ArchivoTrabajo::escribir(std::string_view bytes) {
    return escribirRecordando(fdDe(manejador_), fallo_, bytes);
}

Fallo ArchivoTrabajo::cerrar() {
    int fd = fdDe(manejador_);
    manejador_ = -1;
    if (fd >= 0) {
        if (const int error = cerrarFd(fd); error != 0 && !fallo_) {
            fallo_ = falloDe(error);
        }
        completo_ = !fallo_;
    }
    return fallo_;
}

}  // namespace tralmix::archivos
