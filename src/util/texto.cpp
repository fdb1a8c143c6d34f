// The parts of the text module that need no conversion library.

#include "util/texto.h"
#include "util/texto_plataforma.h"

namespace tralmix::texto {

Marca marcaDeOrden(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        return Marca::Utf16LE;
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return Marca::Utf16BE;
    }
    return bytes.starts_with("\xEF\xBB\xBF") ? Marca::Utf8 : Marca::Ninguna;
}

std::u16string decodificar(std::string_view bytes) {
    const Marca marca = marcaDeOrden(bytes);
    if (marca == Marca::Utf16LE || marca == Marca::Utf16BE) {
        return desdeUtf16(bytes.substr(2), marca == Marca::Utf16BE);
    }
    std::u16string salida;
    if (desdeUtf8(bytes.substr(marca == Marca::Utf8 ? 3 : 0), salida)) {
        return salida;
    }
    // Not UTF-8 after all: the whole file, a leading EF BB BF included, is read as 1252.
    return desde1252(bytes);
}

std::string decodificarUtf8(std::string bytes) {
    const Marca marca = marcaDeOrden(bytes);
    if (marca == Marca::Ninguna || marca == Marca::Utf8) {
        const std::size_t bom = marca == Marca::Utf8 ? 3 : 0;
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
