// The parts of the text module that need no conversion library.

#include "util/texto.h"

namespace tralmix::texto {

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

std::string aUtf8(std::u16string_view texto) {
    std::string salida;
    agregarUtf8(salida, texto);
    return salida;
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
