// Domain labels on Windows: the system's IdnToAscii (normaliz.dll). No flags: with
// IDN_USE_STD3_ASCII_RULES, Wine refuses every label beyond ASCII, and the caller checks the
// ASCII letters itself.

#include <windows.h>

#include <array>

#include "util/idn.h"
#include "util/texto.h"

namespace tralmix::idn {

std::optional<std::string> etiquetaAAscii(std::string_view etiqueta) {
    std::u16string ancho;
    // Longer labels are no DNS label anyway.
    if (etiqueta.size() > 1024 || !texto::desdeUtf8(etiqueta, ancho) || ancho.empty()) {
        return std::nullopt;
    }
    std::array<wchar_t, 256> buffer{};
    const int n = ::IdnToAscii(0, reinterpret_cast<const wchar_t*>(ancho.data()),
                               static_cast<int>(ancho.size()), buffer.data(),
                               static_cast<int>(buffer.size()));
    if (n <= 0) {
        return std::nullopt;
    }
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const wchar_t c = buffer[static_cast<std::size_t>(i)];
        if (c >= 0x80) {
            return std::nullopt;
        }
        // Windows leaves the letters of an ASCII part in their case.
        ascii += static_cast<char>(c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c);
    }
    return ascii;
}

}  // namespace tralmix::idn
