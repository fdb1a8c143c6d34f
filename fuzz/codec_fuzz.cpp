// The codec: any bytes decode without an exception, and the text goes back out as valid UTF-8.

#include <cstddef>
#include <cstdint>

#include "comun.h"
#include "util/texto.h"

using namespace tralmix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::string_view bytes(reinterpret_cast<const char*>(datos), n);
    const std::u16string texto = texto::decodificar(bytes);
    const std::string salida = texto::aUtf8(texto);
    fuzz::exigir(fuzz::utf8Valido(salida), "aUtf8 gives valid UTF-8");

    fuzz::exigir(texto::decodificarUtf8(std::string(bytes)) == salida,
                 "decodificarUtf8 equals aUtf8 of decodificar");
    // The converters fed a few bytes at a time (the first byte picks how few) give the same.
    const std::size_t pieza = 8 + (n > 0 ? datos[0] % 24 : 0);
    fuzz::exigir(texto::decodificar(bytes, pieza) == texto, "decodificar in pieces equals whole");
    fuzz::exigir(texto::decodificarUtf8(std::string(bytes), pieza) == salida,
                 "decodificarUtf8 in pieces equals whole");
    fuzz::exigir(texto::esUtf8(bytes) == fuzz::utf8Valido(bytes), "esUtf8 accepts valid UTF-8");
    std::string bajasUtf8 = "prefix";
    texto::agregarMinusculasUtf8(bajasUtf8, salida);
    fuzz::exigir(
        bajasUtf8 == "prefix" + texto::aUtf8(texto::minusculas(texto::desdeUtf8OReemplazo(salida))),
        "agregarMinusculasUtf8 equals minusculas");

    std::string anexado = "prefix";
    texto::agregarUtf8(anexado, texto);
    fuzz::exigir(anexado == "prefix" + salida, "agregarUtf8 appends what aUtf8 gives");

    const bool bomUtf16 = texto::esAncha(texto::marcaDeOrden(bytes));
    std::u16string estricto;
    const bool esUtf8 = texto::desdeUtf8(bytes, estricto);
    fuzz::exigir(esUtf8 == fuzz::utf8Valido(bytes), "desdeUtf8 accepts exactly valid UTF-8");
    if (!bomUtf16) {
        if (esUtf8) {
            // Valid UTF-8 comes back byte for byte, without a leading BOM.
            const std::string_view sinBom =
                bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
            fuzz::exigir(salida == sinBom, "valid UTF-8 round-trips");
            fuzz::exigir(texto::aUtf8(estricto) == bytes, "desdeUtf8 round-trips");
        } else {
            // Windows-1252: one character per byte, none of them a surrogate.
            fuzz::exigir(texto.size() == n, "Windows-1252 gives one character per byte");
            for (std::size_t i = 0; i < n; ++i) {
                const char16_t c = texto[i];
                fuzz::exigir(c < 0xD800 || c > 0xDFFF, "Windows-1252 gives no surrogate");
                if (datos[i] < 0x80 || (datos[i] >= 0xA0)) {
                    fuzz::exigir(c == datos[i], "ASCII and Latin-1 bytes keep their value");
                }
            }
        }
    } else {
        fuzz::exigir(texto.size() <= (n - 2) / 2 + 1, "UTF-16 and 32 give at most a unit a pair");
    }

    // Reading the result back strictly gives the text, surrogates aside.
    std::u16string vuelta;
    fuzz::exigir(texto::desdeUtf8(salida, vuelta), "our UTF-8 reads back");
    fuzz::exigir(vuelta.size() == texto.size(), "our UTF-8 keeps the length in code units");

    // Lower-casing and trimming never throw and keep their promises.
    for (const char16_t c : texto::minusculas(texto)) {
        fuzz::exigir(c < u'A' || c > u'Z', "no ASCII capital survives lower-casing");
    }
    const std::u16string_view r = texto::recortar(texto);
    fuzz::exigir(r.empty() || (r.front() != u' ' && r.back() != u' '),
                 "recortar leaves no space at either end");
    texto::desdeUtf8OReemplazo(bytes);
    return 0;
}
