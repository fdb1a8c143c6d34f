#pragma once

// Text conversion and lower-casing: the one place where bytes become text and back, so that
// another platform can put its own implementation behind the same functions.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "util/vectores.h"

namespace tralmix::texto {

// A converter that could not do its work; whoever reads a file reports it as a failure to read
// that file, never as the end of the program.
class FalloConversion : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The libraries count in 32 bits (ICU refuses more than 2^30 code units at once), so a file's
// bytes reach a converter this many at a time; tests give a small size to cross many pieces.
inline constexpr std::size_t kPiezaConversion = std::size_t{1} << 24;

// Decodes a whole file's bytes, decided once for the whole file: a UTF-32 byte-order mark
// (FF FE 00 00 or 00 00 FE FF) means UTF-32, a UTF-16 one (FF FE or FE FF) UTF-16; otherwise
// strictly valid UTF-8 (a leading BOM dropped); otherwise Windows-1252, its five undefined bytes
// becoming the code points of equal value.
std::u16string decodificar(std::string_view bytes, std::size_t pieza = kPiezaConversion);

// The byte-order mark a file's bytes begin with, which alone decides how decodificar reads them.
enum class Marca { Ninguna, Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE };
Marca marcaDeOrden(std::string_view bytes);
// The mark's length in bytes.
std::size_t largoMarca(Marca marca);
// True for the marks whose files are decoded whole, never read as they are.
bool esAncha(Marca marca);

// Strict UTF-8 decoding; false when the bytes are not valid UTF-8 (a BOM is kept as U+FEFF).
bool desdeUtf8(std::string_view bytes, std::u16string& salida);

// UTF-8 encoding; an unpaired surrogate becomes U+FFFD, so the output is always valid UTF-8.
std::string aUtf8(std::u16string_view texto);
// Appends the UTF-8 form of texto to salida.
void agregarUtf8(std::string& salida, std::u16string_view texto);

// Unicode default full lower-case mapping (root locale), independent of the machine's locale.
std::u16string minusculas(std::u16string_view texto);

// Removes leading and trailing U+0020 only; tabs and other white space stay.
std::u16string_view recortar(std::u16string_view texto);
// The same for UTF-8 lines; in the header, since it runs once for every line of a run.
inline std::string_view recortar(std::string_view texto) {
    std::size_t primero = 0;
    std::size_t fin = texto.size();
    while (primero < fin && texto[primero] == ' ') {
        ++primero;
    }
    while (fin > primero && texto[fin - 1] == ' ') {
        --fin;
    }
    return texto.substr(primero, fin - primero);
}

// The same decision as decodificar, with the text handed back as UTF-8: exactly
// aUtf8(decodificar(bytes)), without going through UTF-16 when the bytes are already UTF-8.
std::string decodificarUtf8(std::string bytes, std::size_t pieza = kPiezaConversion);

// True when the bytes are strictly valid UTF-8 (what desdeUtf8 accepts).
bool esUtf8(std::string_view bytes);

// Appends the lower-cased form of a UTF-8 text (as minusculas does it) to salida. ASCII is
// handled here; a text with anything else goes whole to the full mapping, so context rules such
// as the final sigma see the same neighbours.
void agregarMinusculasUtf8(std::string& salida, std::string_view texto);

// The characters no address holds, since with one an entry can show as another address: Unicode's
// default-ignorable code points (zero-width and joining characters, the soft hyphen, variation
// selectors, fillers, the tag characters U+E0000 to U+E0FFF, ...) and its bidirectional controls.
bool esInvisible(char32_t c);
// Whether a UTF-8 text holds one of them.
bool tieneInvisible(std::string_view utf8);
// False when no text in the block can hold one (none of their lead bytes is there), so that a
// block of entries is looked at once and its entries one by one only when this says they may.
bool puedeTenerInvisible(std::string_view bloque);

// The first bytes of their UTF-8 forms: C2 (U+00AD), CD, D8, E1, E2, E3, EF, F0 and F3.
constexpr bool esInicioInvisible(unsigned char b) {
    return b == 0xC2 || b == 0xCD || b == 0xD8 || (b >= 0xE1 && b <= 0xE3) || b == 0xEF ||
           b == 0xF0 || b == 0xF3;
}
// The same on sixteen bytes at once, for scans that look at every byte of an entry anyway.
inline vectores::Mascara iniciosInvisibles(const vectores::Vector& v) {
    using vectores::iguales;
    return iguales(v, 0xC2) | iguales(v, 0xCD) | iguales(v, 0xD8) | vectores::entre(v, 0xE1, 0xE3) |
           iguales(v, 0xEF) | iguales(v, 0xF0) | iguales(v, 0xF3);
}

// What a character is to the separator between a list's addresses, by Unicode's general category
// as this build's ICU gives it (one table, made at build time, for every platform): a control,
// format, line or paragraph separator, invisible or bidirectional character would break or hide
// the list's lines; a letter or decimal digit would join two addresses into one; a combining mark
// would join the address before it.
enum class Clase { Otra, Control, LetraOCifra, Marca };
Clase clase(char32_t c);

// Short conversions for literals and paths.
std::u16string desdeUtf8OReemplazo(std::string_view bytes);

}  // namespace tralmix::texto
