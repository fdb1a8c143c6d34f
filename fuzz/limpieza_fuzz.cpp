// limpieza against the cleaning table applied row by row, and what it tells of the line.

#include <cstddef>
#include <cstdint>

#include "comun.h"
#include "extract/limpieza.h"
#include "referencia/literal.h"
#include "util/texto.h"

using namespace tralmix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::string linea =
        texto::decodificarUtf8(std::string(reinterpret_cast<const char*>(datos), n));
    const std::string esperado = texto::aUtf8(literal::limpieza(texto::desdeUtf8OReemplazo(linea)));
    std::string limpia = "<w;";
    const Rasgos rasgos = limpieza(linea, limpia);
    fuzz::exigir(limpia == "<w;" + esperado, "limpieza equals the table row by row");
    fuzz::exigir(rasgos.separador == (esperado.find_first_of(",;") != std::string::npos),
                 "a separator is told exactly");
    fuzz::exigir(rasgos.w == (esperado.find('w') != std::string::npos), "a w is told exactly");
    std::string otraVez;
    limpieza(esperado, otraVez);
    fuzz::exigir(otraVez.size() <= esperado.size(), "cleaning never lengthens a line");
    return 0;
}
