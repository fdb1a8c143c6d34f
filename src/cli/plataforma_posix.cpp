#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/plataforma.h"
#include "extract/mensajes.h"
#include "util/archivos.h"
#include "util/cadenas.h"

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

CopiaEntrada::~CopiaEntrada() {
    if (!ruta_.empty()) {
        ::unlink(archivos::aRuta(ruta_).c_str());
    }
    if (!carpeta_.empty()) {
        ::rmdir(archivos::aRuta(carpeta_).c_str());
    }
}

bool CopiaEntrada::copiar(std::u16string_view carpetaTemporal) {
    std::string carpeta =
        archivos::aRuta(conSeparador(std::u16string(carpetaTemporal))).native() + "tralmix-XXXXXX";
    if (::mkdtemp(carpeta.data()) == nullptr) {
        fallo_ = mensajeFallo(kNoSeCreoTrabajo, std::u16string(carpetaTemporal),
                              archivos::motivo(errno));
        return false;
    }
    carpeta_ = archivos::desdeRuta(carpeta);
    const std::string ruta = carpeta + "/" + archivos::aRuta(kNombreCopia).native();
    const int destino =
        ::open(ruta.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (destino < 0) {
        fallo_ = mensajeFallo(kNoSeCreoTrabajo, archivos::desdeRuta(ruta), archivos::motivo(errno));
        return false;
    }
    ruta_ = archivos::desdeRuta(ruta);
    std::vector<char> bufer(std::size_t{1} << 16);
    std::uint64_t total = 0;
    for (;;) {
        if (interrumpido()) {
            break;
        }
        // Waited for a tenth of a second at a time, so that Ctrl-C stops a terminal's input too.
        pollfd listo{STDIN_FILENO, POLLIN, 0};
        if (::poll(&listo, 1, 100) == 0) {
            continue;
        }
        const ssize_t leidos = ::read(STDIN_FILENO, bufer.data(), bufer.size());
        if (leidos < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (leidos < 0) {
            fallo_ = mensajeFallo(kNoSeLeyo, kEntradaEstandar, archivos::motivo(errno));
            break;
        }
        if (leidos == 0) {
            break;
        }
        total += static_cast<std::uint64_t>(leidos);
        if (total > archivos::kTamanoMaximo) {
            fallo_ = mensajeFallo(kNoSeLeyo, kEntradaEstandar, kDemasiadoGrande);
            break;
        }
        for (ssize_t hecho = 0; hecho < leidos && fallo_.empty();) {
            const ssize_t n =
                ::write(destino, bufer.data() + hecho, static_cast<std::size_t>(leidos - hecho));
            if (n < 0 && errno != EINTR) {
                fallo_ = mensajeFallo(kNoSeEscribioTrabajo, ruta_, archivos::motivo(errno));
            }
            hecho += n > 0 ? n : 0;
        }
        if (!fallo_.empty()) {
            break;
        }
    }
    if (::close(destino) != 0 && fallo_.empty()) {
        fallo_ = mensajeFallo(kNoSeEscribioTrabajo, ruta_, archivos::motivo(errno));
    }
    return fallo_.empty() && !interrumpido();
}

}  // namespace tralmix::cli
