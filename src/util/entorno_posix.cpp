#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "util/archivos.h"
#include "util/entorno.h"
#include "util/texto.h"

extern char** environ;

namespace tralmix::entorno {
namespace {

std::u16string variable(const char* nombre) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): the programs never change their environment
    const char* valor = std::getenv(nombre);
    return valor != nullptr ? archivos::desdeRuta(valor) : std::u16string{};
}

// What xdg-open's exit status says, and the shell's own for a program it cannot run.
std::u16string motivoApertura(int estado) {
    switch (estado) {
        case 0:
            return {};
        case 1:
            return u"el programa que abre los archivos (xdg-open) no entendió la orden";
        case 2:
            return u"el archivo o la carpeta no existe";
        case 3:
            return u"no hay ningún programa para abrirlo en este escritorio";
        case 4:
            return u"el programa que debía abrirlo falló";
        case 126:
            return u"no se pudo ejecutar xdg-open";
        case 127:
            return u"no está instalado xdg-open (el paquete xdg-utils), que abre los archivos "
                   u"con el programa del escritorio";
        default:
            break;
    }
    return u"el programa que abre los archivos (xdg-open) terminó con el estado " +
           texto::desdeUtf8OReemplazo(std::to_string(estado));
}

}  // namespace

std::u16string carpetaPersonal() {
    if (std::u16string home = variable("HOME"); !home.empty()) {
        return home;
    }
    // The reentrant form, as a window's run asks from its own thread; its room grows as asked.
    passwd entrada{};
    passwd* pw = nullptr;
    std::string espacio(1024, '\0');
    int error = 0;
    while ((error = ::getpwuid_r(::getuid(), &entrada, espacio.data(), espacio.size(), &pw)) ==
               ERANGE &&
           espacio.size() < (std::size_t{1} << 20)) {
        espacio.resize(espacio.size() * 2);
    }
    if (error == 0 && pw != nullptr && pw->pw_dir != nullptr) {
        return archivos::desdeRuta(pw->pw_dir);
    }
    return u".";
}

std::u16string carpetaTemporal() {
    if (std::u16string tmp = variable("TMPDIR"); !tmp.empty()) {
        return tmp;
    }
    return u"/tmp";
}

std::u16string carpetaPrograma() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::u16string(u".") : archivos::desdeRuta(exe.parent_path());
}

std::u16string abrir(std::u16string_view destino, std::chrono::milliseconds espera) {
    // The shell starts the opener in the background and leaves at once, so no child of ours is
    // left behind; the opener's exit status comes back through descriptor 3, unless it is still
    // running when we stop listening.
    int tubo[2];
    if (::pipe2(tubo, O_CLOEXEC) != 0) {
        return u"no se pudo iniciar el programa que abre los archivos: " + archivos::motivo(errno);
    }
    const std::string ruta = archivos::aRuta(destino).native();
    std::string guion =
        "(xdg-open \"$1\" </dev/null >/dev/null 2>&1 3>&-; echo $? >&3) 3>&1 >/dev/null 2>&1 &";
    char sh[] = "sh";
    char c[] = "-c";
    char nombre[] = "tralmix-abrir";
    char* argv[] = {sh, c, guion.data(), nombre, const_cast<char*>(ruta.c_str()), nullptr};
    posix_spawn_file_actions_t acciones;
    ::posix_spawn_file_actions_init(&acciones);
    ::posix_spawn_file_actions_adddup2(&acciones, tubo[1], 1);
    pid_t pid = 0;
    // The shell by its path, so that a PATH without xdg-open still gets the shell's answer.
    const int lanzado = ::posix_spawn(&pid, "/bin/sh", &acciones, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&acciones);
    ::close(tubo[1]);
    if (lanzado != 0) {
        ::close(tubo[0]);
        return u"no se pudo iniciar el programa que abre los archivos: " +
               archivos::motivo(lanzado);
    }
    int estado = 0;
    while (::waitpid(pid, &estado, 0) < 0 && errno == EINTR) {
    }
    std::u16string motivo;
    pollfd listo{tubo[0], POLLIN, 0};
    int n = 0;
    while ((n = ::poll(&listo, 1, static_cast<int>(espera.count()))) < 0 && errno == EINTR) {
    }
    if (n > 0) {
        char salida[16] = {};
        const ssize_t leidos = ::read(tubo[0], salida, sizeof salida - 1);
        // Nothing at all: the opener's shell was killed before it could tell.
        motivo = leidos > 0 ? motivoApertura(std::atoi(salida))
                            : u"el programa que abre los archivos terminó sin decir si lo abrió";
    }
    ::close(tubo[0]);
    return motivo;
}

}  // namespace tralmix::entorno
