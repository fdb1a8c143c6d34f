#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "util/archivos.h"
#include "util/entorno.h"
#include "util/texto.h"

extern char** environ;

namespace tralmix::entorno {
namespace {

std::u16string variable(const char* nombre) {
    const char* valor = std::getenv(nombre);
    return valor != nullptr ? archivos::desdeRuta(valor) : std::u16string{};
}

// An opener that has not failed by then is taken to be showing the file: xdg-open without a
// desktop session runs the viewer itself and returns only when it is closed.
constexpr int kEsperaAbrir = 1500;  // milliseconds

}  // namespace

std::u16string carpetaPersonal() {
    if (std::u16string home = variable("HOME"); !home.empty()) {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
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

bool abrir(std::u16string_view destino) {
    // The shell starts the opener in the background and leaves at once, so no child of ours is
    // left behind; the opener's exit status comes back through descriptor 3, unless it is still
    // running when we stop listening.
    int tubo[2];
    if (::pipe2(tubo, O_CLOEXEC) != 0) {
        return false;
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
    const bool lanzado = ::posix_spawnp(&pid, "sh", &acciones, nullptr, argv, environ) == 0;
    ::posix_spawn_file_actions_destroy(&acciones);
    ::close(tubo[1]);
    if (lanzado) {
        int estado = 0;
        while (::waitpid(pid, &estado, 0) < 0 && errno == EINTR) {
        }
    }
    bool abierto = lanzado;
    if (lanzado) {
        pollfd espera{tubo[0], POLLIN, 0};
        int listo = 0;
        while ((listo = ::poll(&espera, 1, kEsperaAbrir)) < 0 && errno == EINTR) {
        }
        if (listo > 0) {
            char salida[16] = {};
            const ssize_t n = ::read(tubo[0], salida, sizeof salida - 1);
            // Nothing at all: the opener's shell was killed before it could tell.
            abierto = n > 0 && std::atoi(salida) == 0;
        }
    }
    ::close(tubo[0]);
    return abierto;
}

}  // namespace tralmix::entorno
