// The text module in the browser: our own conversions and ICU's casing from a table made at build
// time, so that the browser gives the Linux build's bytes whatever Unicode version it ships.

#include "util/texto.h"
#include "util/texto_plataforma.h"
#include "util/texto_propio.h"

namespace tralmix::texto {

bool esUtf8(std::string_view bytes) {
    return propio::esUtf8(bytes);
}

bool desdeUtf8NoAscii(std::string_view bytes, std::u16string& salida) {
    return propio::desdeUtf8(bytes, salida);
}

void agregarUtf8NoAscii(std::string& salida, std::u16string_view texto) {
    propio::agregarUtf8(salida, texto);
}

std::u16string minusculasNoAscii(std::u16string_view texto) {
    return propio::minusculas(texto);
}

void agregarMinusculasUtf8NoAscii(std::string& salida, std::string_view texto) {
    propio::agregarMinusculasUtf8(salida, texto);
}

std::u16string desdeUtf8Reemplazando(std::string_view bytes) {
    return propio::desdeUtf8Reemplazando(bytes);
}

std::u16string desdeUtf16(std::string_view bytes, bool grandeAlFinal) {
    return propio::desdeUtf16(bytes, grandeAlFinal);
}

std::u16string desde1252(std::string_view bytes) {
    return propio::desde1252(bytes);
}

}  // namespace tralmix::texto
