// Whether a mail program can send to an address. ASCII addresses, nearly all of them, are judged
// byte by byte without a library call or an allocation; only labels beyond ASCII reach the
// platform's IDNA.

#include "extract/enviable.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "util/ascii.h"
#include "util/idn.h"
#include "util/texto.h"

namespace tralmix {
namespace {

constexpr std::size_t kMaxLocal = 64;
constexpr std::size_t kMaxDominio = 253;

constexpr unsigned char byte(char c) {
    return static_cast<unsigned char>(c);
}

constexpr bool esLetraAscii(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool esLdh(char c) {
    return esLetraAscii(c) || (c >= '0' && c <= '9') || c == '-';
}

// The prefix of a label in its ASCII form, in either case.
constexpr bool empiezaConXn(std::string_view e) {
    return e.size() >= 4 && (e[0] == 'x' || e[0] == 'X') && (e[1] == 'n' || e[1] == 'N') &&
           e[2] == '-' && e[3] == '-';
}

// RFC 5322's atext, the dot apart.
constexpr bool esAtext(char c) {
    if (esLetraAscii(c) || (c >= '0' && c <= '9')) {
        return true;
    }
    switch (c) {
        case '!':
        case '#':
        case '$':
        case '%':
        case '&':
        case '\'':
        case '*':
        case '+':
        case '-':
        case '/':
        case '=':
        case '?':
        case '^':
        case '_':
        case '`':
        case '{':
        case '|':
        case '}':
        case '~':
            return true;
        default:
            return false;
    }
}

// What an ASCII byte may be in an address, a bit each: nearly every address is all ASCII, and
// is judged by one look per byte.
enum : std::uint8_t { kEnLocal = 1, kEnEtiqueta = 2, kLetraAscii = 4 };

constexpr std::array<std::uint8_t, 256> kAscii = [] {
    std::array<std::uint8_t, 256> t{};
    for (std::size_t b = 0; b < 128; ++b) {
        const char c = static_cast<char>(b);
        t[b] =
            static_cast<std::uint8_t>((esAtext(c) ? kEnLocal : 0) | (esLdh(c) ? kEnEtiqueta : 0) |
                                      (esLetraAscii(c) ? kLetraAscii : 0));
    }
    return t;
}();

// One strictly valid UTF-8 sequence at the start of s: its code point and length, or length 0.
struct Punto {
    char32_t cp = 0;
    std::size_t largo = 0;
};

Punto leerUtf8(std::string_view s) {
    const unsigned char b = byte(s[0]);
    std::size_t largo = 0;
    std::uint32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        largo = 2;
        cp = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        largo = 3;
        cp = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
        largo = 4;
        cp = b & 0x07u;
    } else {
        return {};
    }
    if (s.size() < largo) {
        return {};
    }
    for (std::size_t k = 1; k < largo; ++k) {
        const unsigned char c = byte(s[k]);
        if ((c & 0xC0u) != 0x80u) {
            return {};
        }
        cp = (cp << 6) | (c & 0x3Fu);
    }
    const std::uint32_t minimo = largo == 2 ? 0x80u : largo == 3 ? 0x800u : 0x10000u;
    if (cp < minimo || cp > 0x10FFFFu || (cp >= 0xD800u && cp <= 0xDFFFu)) {
        return {};
    }
    return {static_cast<char32_t>(cp), largo};
}

// Code points beyond ASCII that show as nothing or as a blank, or stand for a broken character:
// an address holding one can look like another, and the platforms' IDNA map some of them away
// differently.
bool esInvisible(char32_t c) {
    struct Rango {
        char32_t desde;
        char32_t hasta;
    };
    static constexpr Rango kRangos[] = {
        {0x0080, 0x00A0},   {0x00AD, 0x00AD},   {0x034F, 0x034F}, {0x061C, 0x061C},
        {0x115F, 0x1160},   {0x1680, 0x1680},   {0x17B4, 0x17B5}, {0x180B, 0x180F},
        {0x2000, 0x206F},   {0x3000, 0x3000},   {0x3164, 0x3164}, {0xFDD0, 0xFDEF},
        {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFFF},
        {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    for (const Rango& r : kRangos) {
        if (c >= r.desde && c <= r.hasta) {
            return true;
        }
    }
    return false;
}

// Whether s, which holds something beyond ASCII, is valid UTF-8 whose ASCII bytes all pass
// asciiValido and whose other code points are visible.
template <typename Ascii>
bool textoNoAsciiValido(std::string_view s, Ascii asciiValido) {
    for (std::size_t i = 0; i < s.size();) {
        if (byte(s[i]) < 0x80) {
            if (!asciiValido(s[i])) {
                return false;
            }
            ++i;
            continue;
        }
        const Punto p = leerUtf8(s.substr(i));
        if (p.largo == 0 || esInvisible(p.cp)) {
            return false;
        }
        i += p.largo;
    }
    return true;
}

bool localValida(std::string_view local) {
    if (local.empty() || local.size() > kMaxLocal || local.front() == '.' || local.back() == '.') {
        return false;
    }
    // Sixteen bytes at a time, a bit for each byte of the local part (64 at most): those beyond
    // ASCII, the dots, and the ASCII bytes that are neither atext nor a dot (controls and
    // blanks, " ( ) , : ; < > @ [ \ ] and DEL).
    static_assert(kMaxLocal <= 64);
    std::uint64_t altos = 0;
    std::uint64_t puntos = 0;
    std::uint64_t otros = 0;
    for (std::size_t k = 0; k < local.size(); k += vectores::kAncho) {
        using vectores::entre;
        using vectores::iguales;
        const std::size_t quedan = std::min(vectores::kAncho, local.size() - k);
        const vectores::Vector v = quedan == vectores::kAncho
                                       ? vectores::cargar(local.data() + k)
                                       : vectores::cargarParte(local.data() + k, quedan);
        const auto marcas = [&](const vectores::Mascara& m) {
            return static_cast<std::uint64_t>(vectores::bits(m) & vectores::hasta(quedan)) << k;
        };
        altos |= marcas(vectores::altos(v));
        puntos |= marcas(iguales(v, '.'));
        otros |= marcas(entre(v, 0x00, 0x20) | iguales(v, '"') | entre(v, '(', ')') |
                        iguales(v, ',') | entre(v, ':', '<') | iguales(v, '>') | iguales(v, '@') |
                        entre(v, '[', ']') | iguales(v, 0x7F));
    }
    if (altos == 0) {
        return otros == 0 && (puntos & (puntos >> 1)) == 0;
    }
    return local.find("..") == std::string_view::npos && textoNoAsciiValido(local, [](char c) {
               return c == '.' || (kAscii[byte(c)] & kEnLocal) != 0;
           });
}

// One label's ASCII form as DNS takes it: its length, and whether it can end a domain.
struct EtiquetaAce {
    std::size_t largo = 0;
    bool final = false;  // two letters or more (no numeric or one-letter top-level domain
                         // exists), or "xn--…"
};

// An ASCII label: letters, digits and hyphens, none first or last, at most 63; "xn--…" only
// as the ASCII form of what it decodes to.
std::optional<EtiquetaAce> etiquetaAscii(std::string_view etiqueta) {
    if (etiqueta.empty() || etiqueta.size() > idn::kMaxEtiqueta || etiqueta.front() == '-' ||
        etiqueta.back() == '-') {
        return std::nullopt;
    }
    std::uint8_t todas = kEnEtiqueta | kLetraAscii;
    for (const char c : etiqueta) {
        todas &= kAscii[byte(c)];
    }
    if ((todas & kEnEtiqueta) == 0) {
        return std::nullopt;
    }
    const bool letras = etiqueta.size() >= 2 && (todas & kLetraAscii) != 0;
    if (empiezaConXn(etiqueta)) {
        if (!idn::esEtiquetaAceValida(etiqueta)) {
            return std::nullopt;
        }
        return EtiquetaAce{etiqueta.size(), true};
    }
    return EtiquetaAce{etiqueta.size(), letras};
}

// What the URL parser reads as a number (so as an IPv4 address), and ICU as a label.
bool esNumero(std::string_view ascii) {
    std::size_t i = 0;
    bool hexadecimal = false;
    if (ascii.size() >= 2 && ascii[0] == '0' && (ascii[1] == 'x' || ascii[1] == 'X')) {
        i = 2;
        hexadecimal = true;
    }
    for (; i < ascii.size(); ++i) {
        const char c = ascii[i];
        const bool cifra = (c >= '0' && c <= '9') ||
                           (hexadecimal && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        if (!cifra) {
            return false;
        }
    }
    return true;
}

std::optional<EtiquetaAce> etiquetaDns(std::string_view etiqueta) {
    if (texto::prefijoAscii(etiqueta) == etiqueta.size()) {
        return etiquetaAscii(etiqueta);
    }
    // Beyond ASCII: judged by the platform's ASCII form (whose "xn--" form is decoded again,
    // which finds a hyphen at either end of the label).
    if (empiezaConXn(etiqueta) || !textoNoAsciiValido(etiqueta, esLdh)) {
        return std::nullopt;
    }
    const auto ascii = idn::etiquetaAAscii(etiqueta);
    if (!ascii || esNumero(*ascii)) {
        return std::nullopt;
    }
    return etiquetaAscii(*ascii);
}

// The length of the domain's ASCII form, or nothing when the domain is not one to send to.
std::optional<std::size_t> largoAceDominio(std::string_view dominio) {
    if (dominio.empty() || dominio.size() > kMaxDominio) {
        return std::nullopt;
    }
    const bool ascii = texto::prefijoAscii(dominio) == dominio.size();
    std::size_t total = 0;
    std::size_t etiquetas = 0;
    for (std::size_t inicio = 0;;) {
        const std::size_t punto = dominio.find('.', inicio);
        const std::string_view etiqueta =
            dominio.substr(inicio, punto == std::string_view::npos ? punto : punto - inicio);
        const auto e = ascii ? etiquetaAscii(etiqueta) : etiquetaDns(etiqueta);
        if (!e) {
            return std::nullopt;
        }
        total += e->largo + (etiquetas > 0 ? 1 : 0);
        ++etiquetas;
        if (punto == std::string_view::npos) {
            return etiquetas >= 2 && total <= kMaxDominio && e->final
                       ? std::optional<std::size_t>(total)
                       : std::nullopt;
        }
        inicio = punto + 1;
    }
}

// esEnviable with the domain's ASCII length from aceDominio.
template <typename AceDominio>
bool enviableCon(std::string_view direccion, AceDominio&& aceDominio) {
    if (direccion.size() > kMaxDireccion) {
        return false;
    }
    // A second "@" lies in the domain, where no label takes it.
    const std::size_t arroba = direccion.find('@');
    if (arroba == std::string_view::npos) {
        return false;
    }
    const std::string_view local = direccion.substr(0, arroba);
    if (!localValida(local)) {
        return false;
    }
    const std::optional<std::size_t> ace = aceDominio(direccion.substr(arroba + 1));
    return ace && local.size() + 1 + *ace <= kMaxDireccion;
}

}  // namespace

bool esEnviable(std::string_view direccion) {
    return enviableCon(direccion, largoAceDominio);
}

bool JuezEnviable::enviable(std::string_view direccion) {
    return enviableCon(direccion, [&](std::string_view dominio) {
        return dominios_.de(dominio, largoAceDominio);
    });
}

}  // namespace tralmix
