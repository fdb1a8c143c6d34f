#include <pwd.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "cli/plataforma.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix::cli {
namespace {

std::u16string variable(const char* nombre) {
    const char* valor = std::getenv(nombre);
    return valor != nullptr ? texto::desdeUtf8OReemplazo(valor) : std::u16string{};
}

// The one piece of program-wide state: a signal handler can reach nothing else.
volatile std::sig_atomic_t gInterrumpido = 0;

extern "C" void alInterrumpir(int) {
    gInterrumpido = 1;
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

std::vector<std::string> argumentos(int argc, char** argv) {
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

std::u16string rutaAbsoluta(std::string_view utf8) {
    std::error_code error;
    const auto camino = std::filesystem::absolute(std::filesystem::path(utf8), error);
    return texto::desdeUtf8OReemplazo(error ? std::string(utf8) : camino.native());
}

std::u16string carpetaPersonal() {
    // The home folder stands where the list used to go: the root of the system drive.
    if (std::u16string home = variable("HOME"); !home.empty()) {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        return texto::desdeUtf8OReemplazo(pw->pw_dir);
    }
    return u".";
}

std::u16string carpetaTemporalSistema() {
    if (std::u16string tmp = variable("TMPDIR"); !tmp.empty()) {
        return tmp;
    }
    return u"/tmp";
}

std::u16string carpetaDelPrograma() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::u16string(u".") : archivos::desdeRuta(exe.parent_path());
}

Fecha fechaLocal() {
    const std::time_t ahora = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&ahora, &local);
    return Fecha{local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                 static_cast<unsigned>(local.tm_mday)};
}

bool esTerminal(std::FILE* flujo) {
    return ::isatty(::fileno(flujo)) == 1;
}

void atenderInterrupcion() {
    std::signal(SIGINT, alInterrumpir);
}

bool interrumpido() {
    return gInterrumpido != 0;
}

void escribir(std::FILE* flujo, std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), flujo);
    std::fflush(flujo);
}

}  // namespace tralmix::cli
