// The system around the engine in a browser: a worker's memory file system, with no home, no
// program folder and no desktop. The page's worker lays out /entrada (the chosen file) and
// /salida (the list) and hands the list to the page itself.

#include <ctime>
#include <filesystem>

#include "util/entorno.h"
#include "util/texto.h"

namespace tralmix::entorno {

std::u16string carpetaPersonal() {
    return u"/salida";
}

std::u16string carpetaTemporal() {
    return u"/tmp";
}

std::u16string carpetaPrograma() {
    return u"/";
}

// The browser's local time zone, through Emscripten's C library.
Fecha hoy() {
    const std::time_t ahora = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&ahora, &local);
    return Fecha{local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                 static_cast<unsigned>(local.tm_mday)};
}

std::vector<std::string> argumentos(int argc, char** argv) {
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

std::u16string rutaAbsoluta(std::string_view utf8) {
    std::error_code error;
    const auto camino = std::filesystem::absolute(std::filesystem::path(utf8), error);
    return texto::desdeUtf8OReemplazo(error ? std::string(utf8) : camino.native());
}

// A page has no desktop to hand a file to: the list goes back to the page, which offers it.
bool abrir(std::u16string_view) {
    return false;
}

}  // namespace tralmix::entorno
