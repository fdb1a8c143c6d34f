#include "util/texto_propio.h"

#include <algorithm>
#include <iterator>

#include "util/ascii.h"
#include "util/minusculas_tabla.inc"

namespace tralmix::texto::propio {
namespace {

constexpr std::int32_t kCased = 1;
constexpr std::int32_t kIgnorable = 2;
constexpr std::int32_t kAlterna = 4;
constexpr int kDesplazamiento = 3;
constexpr char32_t kSigma = 0x3A3;
constexpr char32_t kReemplazo = 0xFFFD;

// The table's value for c: the distance to its lower case and its properties.
std::int32_t valor(char32_t c) {
    const auto* fin = std::upper_bound(std::begin(kInicios), std::end(kInicios), c);
    const auto i = static_cast<std::size_t>(fin - std::begin(kInicios)) - 1;
    const std::int32_t v = kValores[i];
    // In an alternating run only the capitals, every other code point from its start, move.
    if ((v & kAlterna) != 0 && ((c - kInicios[i]) & 1) != 0) {
        return v & (kCased | kIgnorable);
    }
    return v;
}

bool esContinuacion(std::uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// Decodes the sequence at i and moves past it; on a broken sequence returns -1 and moves past
// its maximal valid beginning (at least one byte), as ICU and the WHATWG decoder count them.
std::int32_t siguienteUtf8(const std::uint8_t* s, std::size_t n, std::size_t& i) {
    const std::uint8_t b = s[i++];
    if (b < 0x80) {
        return b;
    }
    int resto = 0;
    std::int32_t c = 0;
    std::uint8_t bajo = 0x80;
    std::uint8_t alto = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        resto = 1;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        resto = 2;
        c = b & 0x0F;
        bajo = b == 0xE0 ? 0xA0 : 0x80;
        alto = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        resto = 3;
        c = b & 0x07;
        bajo = b == 0xF0 ? 0x90 : 0x80;
        alto = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return -1;
    }
    for (int k = 0; k < resto; ++k) {
        if (i >= n || s[i] < bajo || s[i] > alto) {
            return -1;
        }
        c = (c << 6) | (s[i++] & 0x3F);
        bajo = 0x80;
        alto = 0xBF;
    }
    return c;
}

// The code point that ends just before i, or -1 when the bytes there are not a whole sequence.
std::int32_t anteriorUtf8(const std::uint8_t* s, std::size_t i) {
    std::size_t inicio = i;
    while (inicio > 0 && i - inicio < 4 && esContinuacion(s[inicio - 1])) {
        --inicio;
    }
    if (inicio == 0 || i - inicio >= 4) {
        return -1;
    }
    --inicio;
    std::size_t j = inicio;
    const std::int32_t c = siguienteUtf8(s, i, j);
    return j == i ? c : -1;
}

void agregarPunto(std::string& salida, char32_t c) {
    if (c < 0x80) {
        salida += static_cast<char>(c);
    } else if (c < 0x800) {
        salida += static_cast<char>(0xC0 | (c >> 6));
        salida += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        salida += static_cast<char>(0xE0 | (c >> 12));
        salida += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        salida += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        salida += static_cast<char>(0xF0 | (c >> 18));
        salida += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        salida += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        salida += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void agregarPunto(std::u16string& salida, char32_t c) {
    if (c < 0x10000) {
        salida += static_cast<char16_t>(c);
    } else {
        salida += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        salida += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

// Whether a cased letter comes next in the direction `siguiente` walks, case-ignorable
// characters passed over; `siguiente` answers -1 at the end or at a broken sequence.
template <typename Siguiente>
bool casoJunto(Siguiente&& siguiente) {
    for (std::int32_t c = siguiente(); c >= 0; c = siguiente()) {
        const std::int32_t v = valor(static_cast<char32_t>(c));
        if ((v & kIgnorable) == 0) {
            return (v & kCased) != 0;
        }
    }
    return false;
}

// Appends the full lower case of c; `final` tells, only when asked, whether a sigma ends a word.
template <typename Salida, typename EsFinal>
void agregarMinuscula(Salida& salida, char32_t c, EsFinal&& esFinal) {
    if (c == 0x130) {
        agregarPunto(salida, U'i');
        agregarPunto(salida, 0x307);
    } else if (c == kSigma) {
        agregarPunto(salida, esFinal() ? 0x3C2 : 0x3C3);
    } else {
        agregarPunto(salida, minuscula(c));
    }
}

}  // namespace

char32_t minuscula(char32_t c) {
    return static_cast<char32_t>(static_cast<std::int32_t>(c) + (valor(c) >> kDesplazamiento));
}

bool conCaso(char32_t c) {
    return (valor(c) & kCased) != 0;
}

bool ignorable(char32_t c) {
    return (valor(c) & kIgnorable) != 0;
}

bool esUtf8(std::string_view bytes) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t i = 0;
    while (i < bytes.size()) {
        i += prefijoAscii(bytes.substr(i));
        if (i < bytes.size() && siguienteUtf8(s, bytes.size(), i) < 0) {
            return false;
        }
    }
    return true;
}

bool desdeUtf8(std::string_view bytes, std::u16string& salida) {
    if (!esUtf8(bytes)) {
        return false;
    }
    salida = desdeUtf8Reemplazando(bytes);
    return true;
}

std::u16string desdeUtf8Reemplazando(std::string_view bytes) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::u16string salida;
    // UTF-16 never needs more code units than UTF-8 has bytes.
    salida.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::int32_t c = siguienteUtf8(s, bytes.size(), i);
        agregarPunto(salida, c < 0 ? kReemplazo : static_cast<char32_t>(c));
    }
    return salida;
}

void agregarUtf8(std::string& salida, std::u16string_view texto) {
    salida.reserve(salida.size() + texto.size() * 3);
    for (std::size_t i = 0; i < texto.size(); ++i) {
        char32_t c = texto[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < texto.size() && texto[i + 1] >= 0xDC00 &&
            texto[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (texto[++i] - 0xDC00u);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReemplazo;
        }
        agregarPunto(salida, c);
    }
}

std::u16string desde1252(std::string_view bytes) {
    // 0x80 to 0x9F; the undefined five keep their value.
    static constexpr char16_t kAltos[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::u16string salida(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        salida[i] = b >= 0x80 && b < 0xA0 ? kAltos[b - 0x80] : static_cast<char16_t>(b);
    }
    return salida;
}

std::u16string minusculas(std::u16string_view texto) {
    std::u16string salida;
    salida.reserve(texto.size() + 8);
    const std::size_t n = texto.size();
    // Code points at i (moving i past) and before i; unpaired surrogates stand for themselves.
    auto siguiente = [&](std::size_t& i) -> char32_t {
        char32_t c = texto[i++];
        if (c >= 0xD800 && c <= 0xDBFF && i < n && texto[i] >= 0xDC00 && texto[i] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (texto[i++] - 0xDC00u);
        }
        return c;
    };
    auto anterior = [&](std::size_t& i) -> char32_t {
        char32_t c = texto[--i];
        if (c >= 0xDC00 && c <= 0xDFFF && i > 0 && texto[i - 1] >= 0xD800 &&
            texto[i - 1] <= 0xDBFF) {
            c = 0x10000 + ((texto[--i] - 0xD800u) << 10) + (c - 0xDC00);
        }
        return c;
    };
    for (std::size_t i = 0; i < n;) {
        const std::size_t inicio = i;
        const char32_t c = siguiente(i);
        agregarMinuscula(salida, c, [&] {
            std::size_t atras = inicio;
            std::size_t adelante = i;
            return casoJunto([&]() -> std::int32_t {
                       return atras > 0 ? static_cast<std::int32_t>(anterior(atras)) : -1;
                   }) &&
                   !casoJunto([&]() -> std::int32_t {
                       return adelante < n ? static_cast<std::int32_t>(siguiente(adelante)) : -1;
                   });
        });
    }
    return salida;
}

void agregarMinusculasUtf8(std::string& salida, std::string_view texto) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(texto.data());
    const std::size_t n = texto.size();
    // Lower-casing lengthens a character by one byte at most (İ, two bytes, gives three).
    salida.reserve(salida.size() + n + n / 2 + 1);
    std::size_t i = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            std::size_t inicio = salida.size();
            std::size_t j = i;
            while (j < n && s[j] < 0x80) {
                ++j;
            }
            salida.resize(inicio + (j - i));
            minusculasAsciiDesde(s, j, i, reinterpret_cast<std::uint8_t*>(salida.data()), inicio);
            continue;
        }
        const std::size_t inicio = i;
        const std::int32_t c = siguienteUtf8(s, n, i);
        if (c < 0) {
            salida.append(texto.substr(inicio, i - inicio));
            continue;
        }
        agregarMinuscula(salida, static_cast<char32_t>(c), [&] {
            std::size_t atras = inicio;
            std::size_t adelante = i;
            return casoJunto([&]() -> std::int32_t {
                       if (atras == 0) {
                           return -1;
                       }
                       const std::int32_t p = anteriorUtf8(s, atras);
                       atras -= p < 0x80 ? 1 : p < 0x800 ? 2 : p < 0x10000 ? 3 : 4;
                       return p;
                   }) &&
                   !casoJunto([&]() -> std::int32_t {
                       return adelante < n ? siguienteUtf8(s, n, adelante) : -1;
                   });
        });
    }
}

}  // namespace tralmix::texto::propio
