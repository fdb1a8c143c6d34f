// UTF-16 decoding written once for the builds without ICU (Windows and the browser), with ICU's
// replacements, so every build reads a broken UTF-16 file into the same text.

#include "util/texto_propio.h"

namespace tralmix::texto::propio {

std::u16string desdeUtf16(std::string_view bytes, bool grandeAlFinal) {
    std::u16string salida;
    salida.reserve(bytes.size() / 2 + 1);
    auto unidad = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(grandeAlFinal ? (a << 8) | b : (b << 8) | a);
    };
    const std::size_t pares = bytes.size() / 2;
    for (std::size_t k = 0; k < pares; ++k) {
        const char16_t c = unidad(2 * k);
        if (c >= 0xD800 && c <= 0xDBFF && k + 1 < pares) {
            const char16_t d = unidad(2 * k + 2);
            if (d >= 0xDC00 && d <= 0xDFFF) {
                salida.push_back(c);
                salida.push_back(d);
                ++k;
                continue;
            }
        }
        salida.push_back(c >= 0xD800 && c <= 0xDFFF ? u'\uFFFD' : c);
    }
    // An odd last byte is one more U+FFFD, unless it follows an unpaired lead surrogate: ICU
    // takes the two as one broken sequence (a lead surrogate last is never part of a pair).
    const bool altaAlFinal =
        pares > 0 && unidad(2 * (pares - 1)) >= 0xD800 && unidad(2 * (pares - 1)) <= 0xDBFF;
    if (bytes.size() % 2 != 0 && !altaAlFinal) {
        salida.push_back(u'\uFFFD');
    }
    return salida;
}

}  // namespace tralmix::texto::propio
