// The parts of the text module that need no conversion library.

#include "util/texto.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "util/ascii.h"
#include "util/texto_plataforma.h"

namespace tralmix::texto {

Marca marcaDeOrden(std::string_view bytes) {
    // FF FE 00 00 would also be UTF-16 opening with U+0000, which no text of addresses does.
    if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4))) {
        return Marca::Utf32LE;
    }
    if (bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
        return Marca::Utf32BE;
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return Marca::Utf16LE;
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return Marca::Utf16BE;
    }
    return bytes.starts_with("\xEF\xBB\xBF") ? Marca::Utf8 : Marca::Ninguna;
}

std::size_t largoMarca(Marca marca) {
    switch (marca) {
        case Marca::Ninguna:
            return 0;
        case Marca::Utf16LE:
        case Marca::Utf16BE:
            return 2;
        case Marca::Utf8:
            return 3;
        case Marca::Utf32LE:
        case Marca::Utf32BE:
            break;
    }
    return 4;
}

bool esAncha(Marca marca) {
    return marca != Marca::Ninguna && marca != Marca::Utf8;
}

namespace {

// The converters are given at most `pieza` bytes at a time, each piece cut where no character
// spans the cut, so that every piece converts on its own exactly as it would within the whole.
template <typename Corte, typename Convertir>
void enPiezas(std::string_view bytes, std::size_t pieza, Corte&& corte, Convertir&& convertir) {
    pieza = std::max<std::size_t>(pieza, 8);
    std::size_t inicio = 0;
    while (inicio < bytes.size()) {
        std::size_t fin = bytes.size();
        if (bytes.size() - inicio > pieza) {
            fin = corte(inicio + pieza);
        }
        convertir(bytes.substr(inicio, fin - inicio));
        inicio = fin;
    }
}

// UTF-16 after its mark: pieces of whole code units, never between the halves of a pair.
template <typename Agregar>
void utf16EnPiezas(std::string_view bytes, bool grande, std::size_t pieza, Agregar&& agregar) {
    enPiezas(
        bytes, pieza,
        [&](std::size_t fin) {
            fin &= ~std::size_t{1};
            const auto alto = static_cast<unsigned char>(bytes[fin - (grande ? 2 : 1)]);
            return alto >= 0xD8 && alto <= 0xDB ? fin - 2 : fin;
        },
        [&](std::string_view trozo) { agregar(desdeUtf16(trozo, grande)); });
}

// Windows-1252: one byte a character, any cut will do.
template <typename Agregar>
void en1252PorPiezas(std::string_view bytes, std::size_t pieza, Agregar&& agregar) {
    enPiezas(
        bytes, pieza, [](std::size_t fin) { return fin; },
        [&](std::string_view trozo) { agregar(desde1252(trozo)); });
}

// UTF-32 after its mark, decoded here: no platform's own converters all take it. Code points
// beyond U+10FFFF, surrogates and an incomplete last unit become U+FFFD.
template <typename Agregar>
void utf32EnPiezas(std::string_view bytes, bool grande, std::size_t pieza, Agregar&& agregar) {
    enPiezas(
        bytes, pieza, [](std::size_t fin) { return fin & ~std::size_t{3}; },
        [&](std::string_view trozo) {
            std::u16string salida;
            salida.reserve(trozo.size() / 2 + 1);
            const auto* b = reinterpret_cast<const unsigned char*>(trozo.data());
            const std::size_t unidades = trozo.size() / 4;
            for (std::size_t k = 0; k < unidades; ++k, b += 4) {
                const char32_t c = grande ? (char32_t{b[0]} << 24) | (char32_t{b[1]} << 16) |
                                                (char32_t{b[2]} << 8) | b[3]
                                          : (char32_t{b[3]} << 24) | (char32_t{b[2]} << 16) |
                                                (char32_t{b[1]} << 8) | b[0];
                if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
                    salida.push_back(u'\uFFFD');
                } else if (c >= 0x10000) {
                    salida.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
                    salida.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
                } else {
                    salida.push_back(static_cast<char16_t>(c));
                }
            }
            if (trozo.size() % 4 != 0) {
                salida.push_back(u'\uFFFD');
            }
            agregar(salida);
        });
}

// The encodings whose files are always decoded whole.
template <typename Agregar>
void anchoEnPiezas(Marca marca, std::string_view bytes, std::size_t pieza, Agregar&& agregar) {
    bytes.remove_prefix(largoMarca(marca));
    if (marca == Marca::Utf32LE || marca == Marca::Utf32BE) {
        utf32EnPiezas(bytes, marca == Marca::Utf32BE, pieza, agregar);
    } else {
        utf16EnPiezas(bytes, marca == Marca::Utf16BE, pieza, agregar);
    }
}

}  // namespace

std::u16string decodificar(std::string_view bytes, std::size_t pieza) {
    std::u16string salida;
    auto agregar = [&](std::u16string_view trozo) { salida += trozo; };
    const Marca marca = marcaDeOrden(bytes);
    if (esAncha(marca)) {
        salida.reserve(bytes.size() / 2 + 1);
        anchoEnPiezas(marca, bytes, pieza, agregar);
        return salida;
    }
    if (desdeUtf8(bytes.substr(largoMarca(marca)), salida)) {
        return salida;
    }
    // Not UTF-8 after all: the whole file, a leading EF BB BF included, is read as 1252.
    salida.clear();
    salida.reserve(bytes.size());
    en1252PorPiezas(bytes, pieza, agregar);
    return salida;
}

std::string decodificarUtf8(std::string bytes, std::size_t pieza) {
    std::string salida;
    auto agregar = [&](std::u16string_view trozo) { agregarUtf8(salida, trozo); };
    const Marca marca = marcaDeOrden(bytes);
    if (esAncha(marca)) {
        salida.reserve(bytes.size() + 16);
        anchoEnPiezas(marca, bytes, pieza, agregar);
        return salida;
    }
    const std::size_t bom = largoMarca(marca);
    if (esUtf8(std::string_view(bytes).substr(bom))) {
        bytes.erase(0, bom);
        return bytes;
    }
    // Checked once: esUtf8 refuses exactly what desdeUtf8 refuses.
    salida.reserve(bytes.size() + bytes.size() / 2 + 16);
    en1252PorPiezas(bytes, pieza, agregar);
    return salida;
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

namespace {

// Unicode's Default_Ignorable_Code_Point, which holds every Bidi_Control too; the tests hold the
// list to ICU's properties.
constexpr char32_t kInvisibles[][2] = {
    {0xAD, 0xAD},       {0x34F, 0x34F},     {0x61C, 0x61C},   {0x115F, 0x1160}, {0x17B4, 0x17B5},
    {0x180B, 0x180F},   {0x200B, 0x200F},   {0x202A, 0x202E}, {0x2060, 0x206F}, {0x3164, 0x3164},
    {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

// The position of the first byte at or after i that may begin one, or the text's size: sixteen
// bytes looked at together, the end of the text in one partial look.
std::size_t siguienteInicioInvisible(std::string_view t, std::size_t i) {
    const std::size_t n = t.size();
    for (; i < n; i += vectores::kAncho) {
        const std::size_t quedan = n - i;
        const vectores::Vector v = quedan >= vectores::kAncho
                                       ? vectores::cargar(t.data() + i)
                                       : vectores::cargarParte(t.data() + i, quedan);
        if (const unsigned b = vectores::bits(iniciosInvisibles(v))) {
            return i + vectores::primera(b);
        }
    }
    return n;
}

}  // namespace

bool esInvisible(char32_t c) {
    for (const auto& [desde, hasta] : kInvisibles) {
        if (c < desde) {
            return false;
        }
        if (c <= hasta) {
            return true;
        }
    }
    return false;
}

bool tieneInvisible(std::string_view t) {
    const auto* s = reinterpret_cast<const unsigned char*>(t.data());
    for (std::size_t i = siguienteInicioInvisible(t, 0); i < t.size();
         i = siguienteInicioInvisible(t, i + 1)) {
        // Every lead byte of the list begins a sequence of two, three (E*) or four (F*) bytes.
        const std::size_t largo = s[i] >= 0xF0 ? 4 : s[i] >= 0xE0 ? 3 : 2;
        if (i + largo > t.size()) {
            return false;
        }
        char32_t c = s[i] & (largo == 2 ? 0x1F : largo == 3 ? 0x0F : 0x07);
        bool entero = true;
        for (std::size_t k = 1; k < largo; ++k) {
            entero = entero && (s[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (s[i + k] & 0x3F);
        }
        if (entero && esInvisible(c)) {
            return true;
        }
    }
    return false;
}

bool puedeTenerInvisible(std::string_view bloque) {
    vectores::Mascara inicios{};
    vectores::paraCada(
        bloque, [&](const vectores::Vector& v) { inicios = inicios | iniciosInvisibles(v); });
    return vectores::bits(inicios) != 0;
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
