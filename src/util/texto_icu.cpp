// The text module on ICU: conversions at the file boundary and lower-casing.

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/stringpiece.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <cstring>

#include <limits>
#include <memory>
#include <stdexcept>

#include "util/ascii.h"
#include "util/texto.h"
#include "util/texto_plataforma.h"

namespace tralmix::texto {
namespace {

static_assert(sizeof(UChar) == sizeof(char16_t));

int32_t comoLongitud(std::size_t n) {
    if (n > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        throw std::length_error("texto demasiado largo para una conversión");
    }
    return static_cast<int32_t>(n);
}

struct CerrarConvertidor {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// Decodes with one of ICU's converters; malformed input becomes U+FFFD.
std::u16string conConvertidor(const char* nombre, std::string_view bytes) {
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<UConverter, CerrarConvertidor> conv(ucnv_open(nombre, &error));
    if (U_FAILURE(error)) {
        throw FalloConversion(std::string("conversor no disponible: ") + nombre);
    }
    std::u16string salida(bytes.size() + 1, u'\0');
    const char* origen = bytes.data();
    const char* fin = bytes.data() + bytes.size();
    auto* destino = reinterpret_cast<UChar*>(salida.data());
    UChar* destinoFin = destino + salida.size();
    error = U_ZERO_ERROR;
    ucnv_toUnicode(conv.get(), &destino, destinoFin, &origen, fin, nullptr, true, &error);
    if (U_FAILURE(error)) {
        throw FalloConversion(std::string("conversión fallida: ") + u_errorName(error));
    }
    salida.resize(static_cast<std::size_t>(destino - reinterpret_cast<UChar*>(salida.data())));
    return salida;
}

}  // namespace

bool esUtf8(std::string_view bytes) {
    const auto longitud = static_cast<std::int64_t>(bytes.size());
    const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::int64_t i = 0;
    while (i < longitud) {
        i += static_cast<std::int64_t>(prefijoAscii(bytes.substr(static_cast<std::size_t>(i))));
        // ICU's own well-formedness rules, as u_strFromUTF8 applies them: no overlong forms, no
        // surrogates, nothing above U+10FFFF, no truncated sequence.
        while (i < longitud && s[i] >= 0x80) {
            UChar32 c = 0;
            U8_NEXT(s, i, longitud, c);
            if (c < 0) {
                return false;
            }
        }
    }
    return true;
}

void agregarMinusculasUtf8NoAscii(std::string& salida, std::string_view texto) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(texto.data());
    // In the root locale a character's full lower-case mapping is its simple one, except for
    // U+0130 (two characters) and the capital sigma, whose mapping depends on its neighbours; a
    // text with a sigma goes whole to the full mapping, and so does one that turns out not to be
    // UTF-8.
    if (texto.find("\xCE\xA3") == std::string_view::npos) {
        const auto n = static_cast<std::int32_t>(comoLongitud(texto.size()));
        const std::size_t original = salida.size();
        std::size_t inicio = original;
        // Lower-casing lengthens a character by one byte at most (İ, two bytes, gives three).
        salida.resize(inicio + texto.size() + texto.size() / 2 + 1);
        auto* d = reinterpret_cast<std::uint8_t*>(salida.data());
        std::int32_t i = 0;
        while (i < n) {
            if (s[i] < 0x80) {
                auto j = static_cast<std::size_t>(i);
                minusculasAsciiDesde(s, texto.size(), j, d, inicio);
                i = static_cast<std::int32_t>(j);
                continue;
            }
            UChar32 c = 0;
            U8_NEXT(s, i, n, c);
            if (c < 0) {
                break;
            }
            if (c == 0x130) {
                d[inicio++] = 'i';
                c = 0x307;
            } else {
                c = u_tolower(c);
            }
            const auto punto = static_cast<std::uint32_t>(c);
            U8_APPEND_UNSAFE(d, inicio, punto);
        }
        if (i >= n) {
            salida.resize(inicio);
            return;
        }
        salida.resize(original);
    }
    // ICU maps UTF-8 directly, with the same data and context rules as u_strToLower.
    UErrorCode error = U_ZERO_ERROR;
    icu::StringByteSink<std::string> destino(&salida, static_cast<int32_t>(texto.size()));
    icu::CaseMap::utf8ToLower("", 0, icu::StringPiece(texto.data(), comoLongitud(texto.size())),
                              destino, nullptr, error);
    if (U_FAILURE(error)) {
        throw FalloConversion(std::string("minúsculas fallidas: ") + u_errorName(error));
    }
}

bool desdeUtf8NoAscii(std::string_view bytes, std::u16string& salida) {
    // UTF-16 never needs more code units than UTF-8 has bytes.
    std::u16string buffer(bytes.size(), u'\0');
    int32_t longitud = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(buffer.data()), comoLongitud(buffer.size()), &longitud,
                  bytes.data(), comoLongitud(bytes.size()), &error);
    if (U_FAILURE(error)) {
        return false;
    }
    buffer.resize(static_cast<std::size_t>(longitud));
    salida = std::move(buffer);
    return true;
}

std::u16string desdeUtf16(std::string_view bytes, bool grandeAlFinal) {
    return conConvertidor(grandeAlFinal ? "UTF-16BE" : "UTF-16LE", bytes);
}

std::u16string desde1252(std::string_view bytes) {
    // ICU's table maps the five bytes Windows-1252 leaves undefined to C1 controls of the same
    // value, which is what we want.
    return conConvertidor("ibm-5348_P100-1997", bytes);
}

void agregarUtf8NoAscii(std::string& salida, std::u16string_view texto) {
    const std::size_t inicio = salida.size();
    // Every UTF-16 code unit takes at most three UTF-8 bytes.
    salida.resize(inicio + texto.size() * 3);
    int32_t longitud = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strToUTF8WithSub(salida.data() + inicio, comoLongitud(texto.size() * 3), &longitud,
                       reinterpret_cast<const UChar*>(texto.data()), comoLongitud(texto.size()),
                       0xFFFD, nullptr, &error);
    if (U_FAILURE(error)) {
        throw FalloConversion(std::string("conversión a UTF-8 fallida: ") + u_errorName(error));
    }
    salida.resize(inicio + static_cast<std::size_t>(longitud));
}

std::u16string desdeUtf8Reemplazando(std::string_view bytes) {
    return conConvertidor("UTF-8", bytes);
}

std::u16string minusculasNoAscii(std::u16string_view texto) {
    // Full lower-case mappings can lengthen the text (U+0130 becomes two code units).
    std::u16string salida(texto.size() + texto.size() / 2 + 16, u'\0');
    for (;;) {
        UErrorCode error = U_ZERO_ERROR;
        const int32_t longitud = u_strToLower(
            reinterpret_cast<UChar*>(salida.data()), comoLongitud(salida.size()),
            reinterpret_cast<const UChar*>(texto.data()), comoLongitud(texto.size()), "", &error);
        if (error == U_BUFFER_OVERFLOW_ERROR) {
            salida.assign(static_cast<std::size_t>(longitud), u'\0');
            continue;
        }
        if (U_FAILURE(error)) {
            throw FalloConversion(std::string("minúsculas fallidas: ") + u_errorName(error));
        }
        salida.resize(static_cast<std::size_t>(longitud));
        return salida;
    }
}

}  // namespace tralmix::texto
