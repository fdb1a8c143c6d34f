// The program's in-place replacement, from any start, against the helper written step by step; and
// the last-occurrence search against a plain scan.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "comun.h"
#include "referencia/literal.h"
#include "util/cadenas.h"
#include "util/texto.h"

using namespace tralmix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    FuzzedDataProvider f(datos, n);
    // Whole characters: sought texts and replacements as the tables hold them.
    const std::string buscado = texto::decodificarUtf8(f.ConsumeRandomLengthString(8));
    std::string reemplazo = texto::decodificarUtf8(f.ConsumeRandomLengthString(4));
    const std::string texto = texto::decodificarUtf8(f.ConsumeRemainingBytesAsString());
    const std::u16string ancho = texto::desdeUtf8OReemplazo(texto);
    const std::u16string buscadoAncho = texto::desdeUtf8OReemplazo(buscado);
    if (reemplazo.size() > buscado.size()) {
        reemplazo.clear();
    }
    const std::size_t desde = ancho.empty() ? 0 : buscado.size() % (ancho.size() + 1);
    const std::u16string cabeza = ancho.substr(0, std::min(desde, ancho.size()));
    std::string enSitio = texto;
    reemplazar(enSitio, buscado, reemplazo, texto::aUtf8(cabeza).size());
    const std::u16string esperado =
        cabeza + literal::reemplazar(ancho.substr(cabeza.size()), buscadoAncho,
                                     texto::desdeUtf8OReemplazo(reemplazo));
    fuzz::exigir(enSitio == texto::aUtf8(esperado), "reemplazar in place equals the helper");

    std::int64_t esperadoAtras = 0;
    if (!ancho.empty() && buscadoAncho.size() <= ancho.size()) {
        for (std::size_t p = 0; p + buscadoAncho.size() <= ancho.size(); ++p) {
            if (ancho.compare(p, buscadoAncho.size(), buscadoAncho) == 0) {
                esperadoAtras = static_cast<std::int64_t>(p) + 1;
            }
        }
    }
    fuzz::exigir(buscarAtras(ancho, buscadoAncho) == esperadoAtras, "buscarAtras finds the last");
    return 0;
}
