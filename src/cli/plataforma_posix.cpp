#include <unistd.h>

#include <atomic>
#include <csignal>

#include "cli/plataforma.h"

namespace tralmix::cli {
namespace {

// The one piece of program-wide state: a signal handler can reach nothing else.
volatile std::sig_atomic_t gInterrumpido = 0;

extern "C" void alInterrumpir(int) {
    gInterrumpido = 1;
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

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
