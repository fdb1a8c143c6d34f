// The list path's filter, sort and layout against the literal ones, element by element: the
// fuzzer's bytes are the lines of a working file.

#include <cstddef>
#include <cstdint>

#include "comun.h"
#include "extract/comolista.h"
#include "extract/cubo.h"
#include "extract/resultado.h"
#include "referencia/literal.h"
#include "util/texto.h"

using namespace tralmix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::u16string texto = texto::desdeUtf8OReemplazo(
        texto::decodificarUtf8(std::string(reinterpret_cast<const char*>(datos), n)));
    literal::Lineas lineas;
    for (const std::u16string_view l : literal::lineasDeEntrada(texto)) {
        lineas.emplace_back(l);
    }
    Arreglo arreglo = literal::comoArreglo(lineas);
    literal::filtrarLista(lineas);
    comolista(arreglo);
    fuzz::exigir(literal::comoLineas(arreglo) == lineas, "the filter keeps what the rules keep");
    literal::Cubo(lineas, true);
    fuzz::exigir(Cubo(arreglo, true) == !lineas.empty(), "an array with elements is sorted");
    fuzz::exigir(literal::comoLineas(arreglo) == lineas, "the sort is the insertion sort");
    std::string escrito;
    componerLista(arreglo, [&](std::string_view t, std::size_t) {
        escrito += t;
        return true;
    });
    fuzz::exigir(escrito == literal::componerLista(lineas), "the layout is the literal one");
    fuzz::exigir(fuzz::utf8Valido(escrito), "the list is valid UTF-8");
    return 0;
}
