// What the POSIX desktop and the browser's worker share: the C library's local time (the
// browser's time zone through Emscripten), the arguments, and absolute paths over the same
// byte-exact names.

#include <ctime>
#include <filesystem>

#include "util/archivos.h"
#include "util/entorno.h"

namespace tralmix::entorno {

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
    // The name's bytes as they are: a name that is not UTF-8 still names its own file.
    return archivos::desdeRuta(error ? std::filesystem::path(utf8) : camino);
}

}  // namespace tralmix::entorno
