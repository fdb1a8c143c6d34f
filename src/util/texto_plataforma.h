#pragma once

// What each platform's text module adds to the shared decision of decodificar: the converters
// for the two encodings that are not UTF-8. Only the text module includes this.

#include <string>
#include <string_view>

namespace tralmix::texto {

// UTF-16 in the byte order given, without a byte-order mark; unpaired surrogates and an odd last
// byte become U+FFFD.
std::u16string desdeUtf16(std::string_view bytes, bool grandeAlFinal);

// Windows-1252, its five undefined bytes becoming the C1 controls of equal value.
std::u16string desde1252(std::string_view bytes);

}  // namespace tralmix::texto
