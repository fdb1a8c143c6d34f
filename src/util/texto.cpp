// The parts of the text module that need no conversion library.

#include "util/texto.h"

#include "util/ascii.h"
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
    if (marca == Marca::Utf16LE || marca == Marca::Utf16BE) {
        return aUtf8(desdeUtf16(std::string_view(bytes).substr(2), marca == Marca::Utf16BE));
    }
    const std::size_t bom = marca == Marca::Utf8 ? 3 : 0;
    if (esUtf8(std::string_view(bytes).substr(bom))) {
        bytes.erase(0, bom);
        return bytes;
    }
    // Checked once: esUtf8 refuses exactly what desdeUtf8 refuses.
    return aUtf8(desde1252(bytes));
}

bool desdeUtf8(std::string_view bytes, std::u16string& salida) {
    if (prefijoAscii(bytes) == bytes.size()) {
        salida.assign(bytes.begin(), bytes.end());
        return true;
    }
    return desdeUtf8NoAscii(bytes, salida);
}

std::u16string desdeUtf8OReemplazo(std::string_view bytes) {
    std::u16string salida;
    if (desdeUtf8(bytes, salida)) {
        return salida;
    }
    return desdeUtf8Reemplazando(bytes);
}

void agregarUtf8(std::string& salida, std::u16string_view texto) {
    if (esAscii(texto)) {
        agregarAscii(salida, texto);
        return;
    }
    agregarUtf8NoAscii(salida, texto);
}

std::u16string minusculas(std::u16string_view texto) {
    if (esAscii(texto)) {
        return minusculasAscii(texto);
    }
    return minusculasNoAscii(texto);
}

void agregarMinusculasUtf8(std::string& salida, std::string_view texto) {
    if (prefijoAscii(texto) == texto.size()) {
        std::size_t inicio = salida.size();
        salida.resize(inicio + texto.size());
        std::size_t i = 0;
        minusculasAsciiDesde(reinterpret_cast<const std::uint8_t*>(texto.data()), texto.size(), i,
                             reinterpret_cast<std::uint8_t*>(salida.data()), inicio);
        return;
    }
    agregarMinusculasUtf8NoAscii(salida, texto);
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
