#pragma once

// Text conversion and lower-casing: the one place where bytes become text and back, so that
// another platform can put its own implementation behind the same functions.

#include <string>
#include <string_view>
#include <vector>

namespace tralmix::texto {

// Decodes a whole file's bytes, decided once for the whole file: a UTF-16 byte-order mark
// (FF FE or FE FF) means UTF-16; otherwise strictly valid UTF-8 (a leading BOM dropped);
// otherwise Windows-1252, its five undefined bytes becoming the code points of equal value.
std::u16string decodificar(std::string_view bytes);

// The byte-order mark a file's bytes begin with, which alone decides how decodificar reads them.
enum class Marca { Ninguna, Utf8, Utf16LE, Utf16BE };
Marca marcaDeOrden(std::string_view bytes);

// Strict UTF-8 decoding; false when the bytes are not valid UTF-8 (a BOM is kept as U+FEFF).
bool desdeUtf8(std::string_view bytes, std::u16string& salida);

// UTF-8 encoding; an unpaired surrogate becomes U+FFFD, so the output is always valid UTF-8.
std::string aUtf8(std::u16string_view texto);
// Appends the UTF-8 form of texto to salida.
void agregarUtf8(std::string& salida, std::u16string_view texto);

// Unicode default full lower-case mapping (root locale), independent of the machine's locale.
std::u16string minusculas(std::u16string_view texto);

// Removes leading and trailing U+0020 only; tabs and other white space stay.
std::u16string_view recortar(std::u16string_view texto);
// The same for UTF-8 lines; in the header, since it runs once for every line of a run.
inline std::string_view recortar(std::string_view texto) {
    const auto primero = texto.find_first_not_of(' ');
    if (primero == std::string_view::npos) {
        return {};
    }
    return texto.substr(primero, texto.find_last_not_of(' ') - primero + 1);
}

// The same decision as decodificar, with the text handed back as UTF-8: exactly
// aUtf8(decodificar(bytes)), without going through UTF-16 when the bytes are already UTF-8.
std::string decodificarUtf8(std::string bytes);

// True when the bytes are strictly valid UTF-8 (what desdeUtf8 accepts).
bool esUtf8(std::string_view bytes);

// Appends the lower-cased form of a UTF-8 text (as minusculas does it) to salida. ASCII is
// handled here; a text with anything else goes whole to the full mapping, so context rules such
// as the final sigma see the same neighbours.
void agregarMinusculasUtf8(std::string& salida, std::string_view texto);

// Short conversions for literals and paths.
std::u16string desdeUtf8OReemplazo(std::string_view bytes);

}  // namespace tralmix::texto
