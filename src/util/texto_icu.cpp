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

#include "util/texto.h"

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
        throw std::runtime_error(std::string("conversor no disponible: ") + nombre);
    }
    std::u16string salida(bytes.size() + 1, u'\0');
    const char* origen = bytes.data();
    const char* fin = bytes.data() + bytes.size();
    UChar* destino = reinterpret_cast<UChar*>(salida.data());
    UChar* destinoFin = destino + salida.size();
    error = U_ZERO_ERROR;
    ucnv_toUnicode(conv.get(), &destino, destinoFin, &origen, fin, nullptr, true, &error);
    if (U_FAILURE(error)) {
        throw std::runtime_error(std::string("conversión fallida: ") + u_errorName(error));
    }
    salida.resize(static_cast<std::size_t>(destino - reinterpret_cast<UChar*>(salida.data())));
    return salida;
}

bool esAscii(std::u16string_view t) {
    for (char16_t c : t) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

bool esAscii(std::string_view t) {
    for (char c : t) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Length of the leading run of ASCII bytes, eight at a time.
std::size_t prefijoAscii(std::string_view t) {
    std::size_t i = 0;
    for (; i + 8 <= t.size(); i += 8) {
        std::uint64_t ocho = 0;
        std::memcpy(&ocho, t.data() + i, 8);
        if ((ocho & 0x8080808080808080ULL) != 0) {
            break;
        }
    }
    while (i < t.size() && static_cast<unsigned char>(t[i]) < 0x80) {
        ++i;
    }
    return i;
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

std::string decodificarUtf8(std::string bytes) {
    const bool bomUtf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                                (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    if (!bomUtf16) {
        const std::size_t bom = std::string_view(bytes).starts_with("\xEF\xBB\xBF") ? 3 : 0;
        if (esUtf8(std::string_view(bytes).substr(bom))) {
            bytes.erase(0, bom);
            return bytes;
        }
    }
    return aUtf8(decodificar(bytes));
}

namespace {

// Eight ASCII bytes lower-cased at once: a byte gets 0x20 where adding 0x3F carries it past 0x7F
// (it is "A" or above) and adding 0x25 does not (it is "Z" or below). No byte carries into the
// next, since none is above 0x7F.
std::uint64_t minusculasAscii(std::uint64_t v) {
    constexpr std::uint64_t kAltos = 0x8080808080808080ULL;
    const std::uint64_t desdeA = v + 0x3F3F3F3F3F3F3F3FULL;
    const std::uint64_t trasZ = v + 0x2525252525252525ULL;
    return v | (((desdeA & ~trasZ) & kAltos) >> 2);
}

// Lower-cases the ASCII bytes from i on, eight at a time while they last, into d; i and inicio
// move past them.
void minusculasAsciiDesde(const std::uint8_t* s, std::size_t n, std::size_t& i, std::uint8_t* d,
                          std::size_t& inicio) {
    for (; i + 8 <= n; i += 8, inicio += 8) {
        std::uint64_t v = 0;
        std::memcpy(&v, s + i, 8);
        if ((v & 0x8080808080808080ULL) != 0) {
            break;
        }
        v = minusculasAscii(v);
        std::memcpy(d + inicio, &v, 8);
    }
    for (; i < n && s[i] < 0x80; ++i) {
        const std::uint8_t c = s[i];
        d[inicio++] = c >= 'A' && c <= 'Z' ? static_cast<std::uint8_t>(c + ('a' - 'A')) : c;
    }
}

}  // namespace

void agregarMinusculasUtf8(std::string& salida, std::string_view texto) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(texto.data());
    if (prefijoAscii(texto) == texto.size()) {
        std::size_t inicio = salida.size();
        salida.resize(inicio + texto.size());
        std::size_t i = 0;
        minusculasAsciiDesde(s, texto.size(), i, reinterpret_cast<std::uint8_t*>(salida.data()),
                             inicio);
        return;
    }
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
        throw std::runtime_error(std::string("minúsculas fallidas: ") + u_errorName(error));
    }
}

bool desdeUtf8(std::string_view bytes, std::u16string& salida) {
    if (esAscii(bytes)) {
        salida.assign(bytes.begin(), bytes.end());
        return true;
    }
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

std::u16string decodificar(std::string_view bytes) {
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if (b0 == 0xFF && b1 == 0xFE) {
            return conConvertidor("UTF-16LE", bytes.substr(2));
        }
        if (b0 == 0xFE && b1 == 0xFF) {
            return conConvertidor("UTF-16BE", bytes.substr(2));
        }
    }
    std::string_view cuerpo = bytes;
    if (cuerpo.starts_with("\xEF\xBB\xBF")) {
        cuerpo.remove_prefix(3);
    }
    std::u16string salida;
    if (desdeUtf8(cuerpo, salida)) {
        return salida;
    }
    // ICU's table maps the five bytes Windows-1252 leaves undefined to C1 controls of the same
    // value, which is what we want.
    return conConvertidor("ibm-5348_P100-1997", bytes);
}

void agregarUtf8(std::string& salida, std::u16string_view texto) {
    const std::size_t inicio = salida.size();
    if (esAscii(texto)) {
        salida.resize(inicio + texto.size());
        for (std::size_t i = 0; i < texto.size(); ++i) {
            salida[inicio + i] = static_cast<char>(texto[i]);
        }
        return;
    }
    // Every UTF-16 code unit takes at most three UTF-8 bytes.
    salida.resize(inicio + texto.size() * 3);
    int32_t longitud = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strToUTF8WithSub(salida.data() + inicio, comoLongitud(texto.size() * 3), &longitud,
                       reinterpret_cast<const UChar*>(texto.data()), comoLongitud(texto.size()),
                       0xFFFD, nullptr, &error);
    if (U_FAILURE(error)) {
        throw std::runtime_error(std::string("conversión a UTF-8 fallida: ") + u_errorName(error));
    }
    salida.resize(inicio + static_cast<std::size_t>(longitud));
}

std::string aUtf8(std::u16string_view texto) {
    std::string salida;
    agregarUtf8(salida, texto);
    return salida;
}

std::u16string desdeUtf8OReemplazo(std::string_view bytes) {
    std::u16string salida;
    if (desdeUtf8(bytes, salida)) {
        return salida;
    }
    return conConvertidor("UTF-8", bytes);
}

std::u16string minusculas(std::u16string_view texto) {
    if (esAscii(texto)) {
        std::u16string salida(texto);
        for (char16_t& c : salida) {
            if (c >= u'A' && c <= u'Z') {
                c = static_cast<char16_t>(c + (u'a' - u'A'));
            }
        }
        return salida;
    }
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
            throw std::runtime_error(std::string("minúsculas fallidas: ") + u_errorName(error));
        }
        salida.resize(static_cast<std::size_t>(longitud));
        return salida;
    }
}

std::u16string_view recortar(std::u16string_view texto) {
    const auto primero = texto.find_first_not_of(u' ');
    if (primero == std::u16string_view::npos) {
        return {};
    }
    const auto ultimo = texto.find_last_not_of(u' ');
    return texto.substr(primero, ultimo - primero + 1);
}

}  // namespace tralmix::texto
