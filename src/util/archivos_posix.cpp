// Files on POSIX: the system calls under archivos.cpp, errno codes in Fallo.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

#include "util/archivos.h"
#include "util/archivos_sistema.h"
#include "util/texto.h"

namespace tralmix::archivos {

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
    return {std::move(bytes)};
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

namespace sistema {

std::span<const Razon> razones() {
    static constexpr Razon kRazones[] = {
        {u"el archivo o la carpeta no existe", {ENOENT}},
        {u"una parte de la ruta no es una carpeta", {ENOTDIR}},
        {u"es una carpeta, no un archivo", {EISDIR}},
        {u"permiso denegado", {EACCES, EPERM}},
        {u"el sistema de archivos es de solo lectura", {EROFS}},
        {u"no queda espacio en el disco", {ENOSPC}},
        {u"se ha superado la cuota de disco", {EDQUOT}},
        {u"el archivo es demasiado grande", {EFBIG, EOVERFLOW}},
        {u"el nombre es demasiado largo", {ENAMETOOLONG}},
        {u"la ruta es un enlace simbólico o tiene demasiados enlaces", {ELOOP}},
        {u"hay demasiados archivos abiertos", {EMFILE, ENFILE}},
        {u"error de entrada/salida del dispositivo", {EIO}},
        {u"no hay memoria suficiente", {ENOMEM}},
        {u"el archivo está en uso", {EBUSY, ETXTBSY}},
        {u"origen y destino están en sistemas de archivos distintos", {EXDEV}},
        {u"la ruta no es válida", {EINVAL}},
        {u"el archivo ya existe", {EEXIST}},
        {u"la carpeta no está vacía", {ENOTEMPTY}},
        {u"hay demasiados enlaces", {EMLINK}},
        {u"el recurso no está disponible en este momento", {EAGAIN}},
        {u"se agotó el tiempo de espera", {ETIMEDOUT}},
        {u"el archivo ya no está disponible en el servidor", {ESTALE}},
        {u"el sistema de archivos no admite la operación", {EOPNOTSUPP}},
        {u"el archivo no está abierto", {EBADF}},
        {u"el dispositivo no existe o no está disponible", {ENXIO, ENODEV}},
    };
    return kRazones;
}

namespace {

Fallo falloDe(int error) {
    return Fallo{error, motivo(error)};
}

Fallo ultimo() {
    return falloDe(errno);
}

int fd(Manejador m) {
    return static_cast<int>(m);
}

Info infoDe(const struct stat& s) {
    Info info;
    info.huella = {
        {static_cast<std::uint64_t>(s.st_dev), static_cast<std::uint64_t>(s.st_ino), true},
        static_cast<std::uint64_t>(s.st_size),
        static_cast<std::int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec};
    info.normal = S_ISREG(s.st_mode);
    info.carpeta = S_ISDIR(s.st_mode);
    info.propio = s.st_uid == ::geteuid();
    info.nombres = static_cast<std::uint32_t>(s.st_nlink);
    return info;
}

std::u16string clase(mode_t modo) {
    return S_ISDIR(modo)                    ? u"es una carpeta, no un archivo"
           : S_ISFIFO(modo)                 ? u"es una tubería (FIFO), no un archivo normal"
           : S_ISCHR(modo) || S_ISBLK(modo) ? u"es un dispositivo, no un archivo normal"
           : S_ISSOCK(modo)                 ? u"es un socket, no un archivo normal"
                                            : u"no es un archivo normal";
}

// Open without following a link or blocking on a FIFO or device; a terminal never becomes ours.
constexpr int kSeguro = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

}  // namespace

int codigo(Comun que) {
    static constexpr int kCodigos[] = {EBADF, ENOENT, EINVAL, EFBIG, EEXIST};
    return kCodigos[static_cast<int>(que)];
}

std::size_t inicioNombre(std::u16string_view ruta) {
    const auto p = ruta.rfind(u'/');
    return p == std::u16string_view::npos ? 0 : p + 1;
}

Fallo abrirLectura(std::u16string_view ruta, bool sinEnlace, Manejador& m, Info& info) {
    // Non-blocking so that a FIFO without a writer cannot hold us at open().
    int f = ::open(aRuta(ruta).c_str(), O_RDONLY | kSeguro | (sinEnlace ? O_NOFOLLOW : 0));
    if (f < 0) {
        return ultimo();
    }
    m = f;
    struct stat s {};
    if (::fstat(f, &s) != 0) {
        Fallo error = ultimo();
        cerrar(m);
        return error;
    }
    if (!S_ISREG(s.st_mode)) {
        cerrar(m);
        return Fallo{S_ISDIR(s.st_mode) ? EISDIR : EINVAL, clase(s.st_mode)};
    }
    // Reading a regular file never blocks; the flag only guarded the open.
    ::fcntl(f, F_SETFL, 0);
    info = infoDe(s);
    return {};
}

Fallo crear(std::u16string_view ruta, Uso uso, Manejador& m, bool& ocupado) {
    // Made and held under a name of its own, then given ruta (link() never replaces): nobody sees
    // it at ruta unheld. A list takes the mode the user's umask gives; a working file is its
    // owner's alone.
    const std::string camino = aRuta(ruta).native();
    const int permisos = uso == Uso::Oculto ? 0666 : 0600;
    constexpr int kNuevo = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | kSeguro;
    int f = -1;
    std::string aparte;
    for (int intento = 0; intento < 100; ++intento) {
        aparte = camino + ".~" + std::to_string(std::random_device{}());
        if ((f = ::open(aparte.c_str(), kNuevo, permisos)) >= 0 || errno != EEXIST) {
            break;
        }
    }
    if (f >= 0) {
        ::flock(f, LOCK_EX | LOCK_NB);
        const int enlazado = ::link(aparte.c_str(), camino.c_str()) == 0 ? 0 : errno;
        ::unlink(aparte.c_str());
        if (enlazado != 0) {
            ::close(f);
            f = -1;
            if (enlazado == EEXIST) {
                ocupado = true;
                return falloDe(EEXIST);
            }
        }
    }
    // Where that cannot be (no hard links, a name too long for the suffix): made at ruta itself,
    // and held a moment later.
    if (f < 0 && (f = ::open(camino.c_str(), kNuevo, permisos)) >= 0) {
        ::flock(f, LOCK_EX | LOCK_NB);
    }
    if (f < 0) {
        ocupado = errno == EEXIST;
        return ultimo();
    }
    ::fcntl(f, F_SETFL, 0);
    m = f;
    return {};
}

Fallo abrirExistente(std::u16string_view ruta, bool paraQuitar, Manejador& m) {
    m = ::open(aRuta(ruta).c_str(), (paraQuitar ? O_RDONLY : O_WRONLY) | O_NOFOLLOW | kSeguro);
    return m < 0 ? ultimo() : Fallo{};  // open() answers -1, kNinguno, on failure
}

Fallo info(Manejador m, Info& info) {
    struct stat s {};
    if (::fstat(fd(m), &s) != 0) {
        return ultimo();
    }
    info = infoDe(s);
    return {};
}

Fallo info(std::u16string_view ruta, bool sinEnlace, Info& info) {
    struct stat s {};
    const std::string camino = aRuta(ruta).native();
    if ((sinEnlace ? ::lstat(camino.c_str(), &s) : ::stat(camino.c_str(), &s)) != 0) {
        return ultimo();
    }
    info = infoDe(s);
    return {};
}

Fallo leer(Manejador m, char* destino, std::size_t n, std::size_t& leidos) {
    for (;;) {
        const ssize_t r = ::read(fd(m), destino, n);
        if (r >= 0) {
            leidos = static_cast<std::size_t>(r);
            return {};
        }
        if (errno != EINTR) {
            return ultimo();
        }
    }
}

Fallo escribir(Manejador m, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd(m), bytes.data(), bytes.size());
        if (n < 0 && errno != EINTR) {
            return ultimo();
        }
        bytes.remove_prefix(n < 0 ? 0 : static_cast<std::size_t>(n));
    }
    return {};
}

Fallo irA(Manejador m, std::uint64_t posicion) {
    return ::lseek(fd(m), static_cast<off_t>(posicion), SEEK_SET) < 0 ? ultimo() : Fallo{};
}

Fallo vaciar(Manejador m) {
    const bool bien = ::fchmod(fd(m), 0600) == 0 && ::ftruncate(fd(m), 0) == 0 &&
                      ::lseek(fd(m), 0, SEEK_SET) == 0 && ::fcntl(fd(m), F_SETFL, 0) == 0;
    return bien ? Fallo{} : ultimo();
}

void ponerEscrito(Manejador m, std::int64_t escrito) {
    const struct timespec tiempos[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(escrito / 1000000000), static_cast<long>(escrito % 1000000000)}};
    ::futimens(fd(m), tiempos);
}

bool retener(Manejador m) {
    if (::flock(fd(m), LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    // The record locks of lockf() and fcntl() are apart from flock's: they are asked for too.
    struct flock cerrojo {};
    cerrojo.l_type = F_WRLCK;
    cerrojo.l_whence = SEEK_SET;
#ifdef F_OFD_GETLK
    const int pregunta = F_OFD_GETLK;
#else
    const int pregunta = F_GETLK;
#endif
    return ::fcntl(fd(m), pregunta, &cerrojo) == 0 && cerrojo.l_type == F_UNLCK;
}

Fallo volcar(Manejador m) {
    // File systems that keep nothing to flush answer EINVAL or EROFS: nothing is lost there.
    const bool bien = ::fsync(fd(m)) == 0 || errno == EINVAL || errno == EROFS;
    return bien ? Fallo{} : ultimo();
}

void mostrar(Manejador) {}

Fallo renombrar(std::u16string_view de, std::u16string_view a) {
    return ::rename(aRuta(de).c_str(), aRuta(a).c_str()) != 0 ? ultimo() : Fallo{};
}

bool enUso(const Fallo&) {
    return false;
}

void quitar(Manejador m, std::u16string_view ruta) {
    Info abierto;
    Info nombrado;
    if (!info(m, abierto) && !info(ruta, true, nombrado) &&
        abierto.huella.identidad.mismoArchivo(nombrado.huella.identidad)) {
        ::unlink(aRuta(ruta).c_str());
    }
}

Fallo cerrar(Manejador& m) {
    int error = 0;
    if (m != kNinguno && ::close(fd(m)) != 0 && errno != EINTR) {
        error = errno;
    }
    m = kNinguno;
    return error != 0 ? falloDe(error) : Fallo{};
}

}  // namespace sistema
}  // namespace tralmix::archivos
