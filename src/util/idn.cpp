// What every platform shares of the domain labels: Punycode decoding and the check of a label
// written in its "xn--" form.

#include "util/idn.h"

#include <array>
#include <cstdint>

namespace tralmix::idn {
namespace {

// RFC 3492's parameters for IDNA.
constexpr std::uint32_t kBase = 36;
constexpr std::uint32_t kTMin = 1;
constexpr std::uint32_t kTMax = 26;
constexpr std::uint32_t kSkew = 38;
constexpr std::uint32_t kDamp = 700;
constexpr std::uint32_t kInicialN = 128;
constexpr std::uint32_t kInicialBias = 72;
constexpr std::uint32_t kMaximo = 0x10FFFF;

std::optional<std::uint32_t> digito(char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<std::uint32_t>(c - 'a');
    }
    if (c >= 'A' && c <= 'Z') {
        return static_cast<std::uint32_t>(c - 'A');
    }
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint32_t>(c - '0') + 26;
    }
    return std::nullopt;
}

std::uint32_t adaptar(std::uint32_t delta, std::uint32_t puntos, bool primera) {
    delta = primera ? delta / kDamp : delta / 2;
    delta += delta / puntos;
    std::uint32_t k = 0;
    while (delta > ((kBase - kTMin) * kTMax) / 2) {
        delta /= kBase - kTMin;
        k += kBase;
    }
    return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

void agregarUtf8(std::string& salida, char32_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    if (u < 0x80) {
        salida += static_cast<char>(u);
    } else if (u < 0x800) {
        salida += static_cast<char>(0xC0 | (u >> 6));
        salida += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        salida += static_cast<char>(0xE0 | (u >> 12));
        salida += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        salida += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        salida += static_cast<char>(0xF0 | (u >> 18));
        salida += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        salida += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        salida += static_cast<char>(0x80 | (u & 0x3F));
    }
}

bool igualesSinMayusculas(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        x = x >= 'A' && x <= 'Z' ? static_cast<char>(x + ('a' - 'A')) : x;
        y = y >= 'A' && y <= 'Z' ? static_cast<char>(y + ('a' - 'A')) : y;
        if (x != y) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::size_t> decodificarPunycode(std::string_view codigo,
                                               std::span<char32_t> salida) {
    // The basic code points come first, up to the last hyphen; a leading hyphen is a digit
    // (and not a valid one).
    const std::size_t guion = codigo.rfind('-');
    const std::size_t basicos = guion == std::string_view::npos ? 0 : guion;
    if (basicos > salida.size()) {
        return std::nullopt;
    }
    std::size_t n = 0;
    for (; n < basicos; ++n) {
        const auto c = static_cast<unsigned char>(codigo[n]);
        if (c >= 0x80) {
            return std::nullopt;
        }
        salida[n] = c;
    }
    std::uint32_t punto = kInicialN;
    std::uint32_t i = 0;
    std::uint32_t bias = kInicialBias;
    for (std::size_t entrada = basicos > 0 ? basicos + 1 : 0; entrada < codigo.size();) {
        const std::uint32_t anterior = i;
        std::uint32_t w = 1;
        for (std::uint32_t k = kBase;; k += kBase) {
            if (entrada >= codigo.size()) {
                return std::nullopt;
            }
            const auto d = digito(codigo[entrada++]);
            if (!d || *d > (UINT32_MAX - i) / w) {
                return std::nullopt;
            }
            i += *d * w;
            const std::uint32_t t = k <= bias ? kTMin : k >= bias + kTMax ? kTMax : k - bias;
            if (*d < t) {
                break;
            }
            if (w > UINT32_MAX / (kBase - t)) {
                return std::nullopt;
            }
            w *= kBase - t;
        }
        const auto puntos = static_cast<std::uint32_t>(n + 1);
        bias = adaptar(i - anterior, puntos, anterior == 0);
        if (i / puntos > kMaximo - punto) {
            return std::nullopt;
        }
        punto += i / puntos;
        i %= puntos;
        if ((punto >= 0xD800 && punto <= 0xDFFF) || n >= salida.size()) {
            return std::nullopt;
        }
        for (std::size_t j = n; j > i; --j) {
            salida[j] = salida[j - 1];
        }
        salida[i] = static_cast<char32_t>(punto);
        ++n;
        ++i;
    }
    return n;
}

bool esEtiquetaAceValida(std::string_view etiqueta) {
    if (etiqueta.size() <= 4 || etiqueta.size() > kMaxEtiqueta ||
        !igualesSinMayusculas(etiqueta.substr(0, 4), "xn--")) {
        return false;
    }
    std::array<char32_t, kMaxEtiqueta> puntos{};
    const auto n = decodificarPunycode(etiqueta.substr(4), puntos);
    if (!n || *n == 0 || puntos[0] == U'-' || puntos[*n - 1] == U'-') {
        return false;
    }
    bool noAscii = false;
    std::string utf8;
    for (std::size_t k = 0; k < *n; ++k) {
        noAscii = noAscii || puntos[k] >= 0x80;
        agregarUtf8(utf8, puntos[k]);
    }
    if (!noAscii) {
        return false;
    }
    const auto ascii = etiquetaAAscii(utf8);
    return ascii && igualesSinMayusculas(*ascii, etiqueta);
}

}  // namespace tralmix::idn
