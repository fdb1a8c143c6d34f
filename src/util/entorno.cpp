// What the environment tells every platform alike.

#include <cstdlib>
#include <string_view>

#include "util/entorno.h"

namespace tralmix::entorno {

AjustesAvance ajustesAvance() {
    AjustesAvance ajustes;
    if (const char* retraso = std::getenv("TRALMIX_RETRASO_PROGRESO_MS");
        retraso != nullptr && *retraso != '\0') {
        char* fin = nullptr;
        const long n = std::strtol(retraso, &fin, 10);
        if (*fin == '\0' && n >= 0) {
            ajustes.demora = std::chrono::milliseconds(n);
        }
    }
    const char* retener = std::getenv("TRALMIX_RETENER_HASTA_PARAR");
    ajustes.retenerHastaParar = retener != nullptr && std::string_view(retener) == "1";
    return ajustes;
}

}  // namespace tralmix::entorno
