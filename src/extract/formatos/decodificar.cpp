// Base64 and quoted-printable, as vCard and LDIF values use them. A value that does not decode
// must never turn into another address than the file holds.

#include "extract/formatos/formatos.h"

namespace tralmix::formatos {
namespace {

int valorBase64(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return -1;
}

int valorHex(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool blanco(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

// Groups of four characters, the last perhaps ended by one or two "=": a value cut short (the
// end of "c2l4QHguY29t" lost) would otherwise decode to a shorter address than it holds.
std::string desdeBase64(std::string_view t) {
    std::string salida;
    salida.reserve(t.size() / 4 * 3);
    std::uint32_t acumulado = 0;
    std::size_t cuenta = 0;   // characters of the alphabet and "=" so far
    std::size_t relleno = 0;  // "=" at the end
    for (const char c : t) {
        if (blanco(c)) {
            continue;  // line breaks of a folded value
        }
        ++cuenta;
        if (c == '=') {
            ++relleno;
            continue;
        }
        const int v = valorBase64(c);
        if (v < 0 || relleno > 0) {
            return {};
        }
        acumulado = (acumulado << 6) | static_cast<std::uint32_t>(v);
        if (cuenta % 4 == 0) {
            salida += static_cast<char>((acumulado >> 16) & 0xFF);
            salida += static_cast<char>((acumulado >> 8) & 0xFF);
            salida += static_cast<char>(acumulado & 0xFF);
            acumulado = 0;
        }
    }
    if (cuenta % 4 != 0 || relleno > 2) {
        return {};
    }
    if (relleno > 0) {
        // The last group: two characters give one byte, three give two.
        acumulado <<= 6 * relleno;
        salida += static_cast<char>((acumulado >> 16) & 0xFF);
        if (relleno == 1) {
            salida += static_cast<char>((acumulado >> 8) & 0xFF);
        }
    }
    return salida;
}

std::string desdeQuotedPrintable(std::string_view t) {
    std::string salida;
    salida.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '=') {
            if (i + 1 == t.size()) {
                break;  // a soft break left at the very end: nothing of the value
            }
            if (i + 2 < t.size()) {
                const int alto = valorHex(t[i + 1]);
                const int bajo = valorHex(t[i + 2]);
                if (alto >= 0 && bajo >= 0) {
                    salida += static_cast<char>(alto * 16 + bajo);
                    i += 2;
                    continue;
                }
            }
        }
        salida += t[i];
    }
    return salida;
}

}  // namespace tralmix::formatos
