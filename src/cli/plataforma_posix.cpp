#include <unistd.h>

#include <atomic>
#include <csignal>

#include "cli/plataforma.h"

namespace tralmix::cli {
namespace {

// The one piece of program-wide state: a signal handler can reach nothing else.
volatile std::sig_atomic_t gInterrumpido = 0;

extern "C" void alInterrumpir(int senal) {
    gInterrumpido = senal;
    std::signal(senal, SIG_DFL);
}

}  // namespace

bool esTerminal(std::FILE* flujo) {
    return ::isatty(::fileno(flujo)) == 1;
}

void atenderInterrupcion() {
    // A terminal closed, or a session ending, stops a run as Ctrl-C does.
    for (const int senal : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(senal, alInterrumpir);
    }
}

bool interrumpido() {
    return gInterrumpido != 0;
}

int senalDeInterrupcion() {
    return gInterrumpido;
}

bool escribir(std::FILE* flujo, std::string_view utf8) {
    const bool todo = std::fwrite(utf8.data(), 1, utf8.size(), flujo) == utf8.size();
    return std::fflush(flujo) == 0 && todo;
}

}  // namespace tralmix::cli
