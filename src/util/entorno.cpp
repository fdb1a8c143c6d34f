// What the environment tells every platform alike.

#include <cstdlib>
#include <string_view>

#include "util/entorno.h"

namespace tralmix::entorno {

namespace {

const char* variable(const char* nombre) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): the programs never change their environment
    return std::getenv(nombre);
}

}  // namespace

AjustesAvance ajustesAvance() {
    AjustesAvance ajustes;
    if (const char* retraso = variable("TRALMIX_RETRASO_PROGRESO_MS");
        retraso != nullptr && *retraso != '\0') {
        char* fin = nullptr;
        const long n = std::strtol(retraso, &fin, 10);
        if (*fin == '\0' && n >= 0) {
            ajustes.demora = std::chrono::milliseconds(n);
        }
    }
    const char* retener = variable("TRALMIX_RETENER_HASTA_PARAR");
    ajustes.retenerHastaParar = retener != nullptr && std::string_view(retener) == "1";
    return ajustes;
}

}  // namespace tralmix::entorno
