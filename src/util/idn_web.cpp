// Domain labels in the browser: the URL parser's host processing (UTS #46, non-transitional,
// with the bidirectional and joiner rules), reached from the engine's Web Worker.

#include <emscripten.h>

#include <array>

#include "util/idn.h"

namespace tralmix::idn {
namespace {

// Writes the ASCII form of one label into salida (NUL-terminated) and gives its length; -1 when
// the parser refuses the label or the form does not fit. The caller hands over only letters
// beyond ASCII and LDH letters, nothing the URL syntax reads.
EM_JS(int, jsEtiquetaAAscii, (const char* etiqueta, char* salida, int capacidad), {
    let host;
    try {
        host = new URL("http://" + UTF8ToString(etiqueta) + "/").hostname;
    } catch (e) {
        return -1;
    }
    if (lengthBytesUTF8(host) >= capacidad) {
        return -1;
    }
    return stringToUTF8(host, salida, capacidad);
});

}  // namespace

std::optional<std::string> etiquetaAAscii(std::string_view etiqueta) {
    // A NUL would end the label early.
    if (etiqueta.empty() || etiqueta.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string terminada(etiqueta);
    // Longer results are no DNS label anyway.
    std::array<char, 256> buffer{};
    const int n =
        jsEtiquetaAAscii(terminada.c_str(), buffer.data(), static_cast<int>(buffer.size()));
    if (n < 0) {
        return std::nullopt;
    }
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

}  // namespace tralmix::idn
