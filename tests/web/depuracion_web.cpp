// The clean-up's table of cases run by the browser edition's engine, in a Web Worker as the page
// runs it: the number of cases, a line break, then each case that failed.

#include <emscripten.h>

#include <string>

#include "depuracion_casos.h"

extern "C" EMSCRIPTEN_KEEPALIVE const char* tralmix_probar_depuracion() {
    // Read by the caller at once, before any other call.
    static std::string informe;
    informe = std::to_string(tralmix::prueba::casosDepuracion().size()) + "\n" +
              tralmix::prueba::fallosDepuracion();
    return informe.c_str();
}
