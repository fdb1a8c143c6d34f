// The test helpers that are the same on every platform.

#include <fstream>
#include <sstream>

#include "puerto_falso.h"
#include "util/texto.h"

namespace tralmix::prueba {

std::string leer(const std::filesystem::path& ruta) {
    std::ifstream entrada(ruta, std::ios::binary);
    std::ostringstream todo;
    todo << entrada.rdbuf();
    return todo.str();
}

std::string visible(std::string_view bytes) {
    std::string v;
    for (const char c : bytes) {
        if (c == '\r') {
            v += "\\r";
        } else if (c == '\n') {
            v += "\\n";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            v += "\\x" + std::string(1, "0123456789ABCDEF"[(c >> 4) & 15]) +
                 "0123456789ABCDEF"[c & 15];
        } else {
            v += c;
        }
    }
    return v;
}

std::u16string u16(std::string_view utf8) {
    return texto::desdeUtf8OReemplazo(utf8);
}

std::string u8(std::u16string_view t) {
    return texto::aUtf8(t);
}

}  // namespace tralmix::prueba
