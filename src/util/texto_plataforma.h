#pragma once

// What each platform's text module adds to the shared decision of decodificar: the converters
// for the two encodings that are not UTF-8. Only the text module includes this.

#include <string>
#include <string_view>

namespace tralmix::texto {

// The forms for texts that hold more than ASCII: the shared functions of texto.h take ASCII
// themselves and hand the rest to these.
bool desdeUtf8NoAscii(std::string_view bytes, std::u16string& salida);
void agregarUtf8NoAscii(std::string& salida, std::u16string_view texto);
std::u16string minusculasNoAscii(std::u16string_view texto);
void agregarMinusculasUtf8NoAscii(std::string& salida, std::string_view texto);
// Decodes bytes that are not valid UTF-8, each broken sequence becoming U+FFFD.
std::u16string desdeUtf8Reemplazando(std::string_view bytes);

// UTF-16 in the byte order given, without a byte-order mark; unpaired surrogates and an odd last
// byte become U+FFFD.
std::u16string desdeUtf16(std::string_view bytes, bool grandeAlFinal);

// Windows-1252, its five undefined bytes becoming the C1 controls of equal value.
std::u16string desde1252(std::string_view bytes);

}  // namespace tralmix::texto
