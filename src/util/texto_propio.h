#pragma once

// Text conversion and lower-casing without a library, for the browser build, where neither ICU
// nor a system's conversions exist. Gives ICU's results: the lower-casing comes from a table
// generated from ICU at build time, and the tests hold every function to ICU's own.

#include <cstdint>
#include <string>
#include <string_view>

namespace tralmix::texto::propio {

// ICU's simple lower-case mapping of one code point, and the two properties the final sigma's
// context rule asks of its neighbours.
char32_t minuscula(char32_t c);
bool conCaso(char32_t c);    // Cased
bool ignorable(char32_t c);  // Case_Ignorable

// Strict UTF-8 (no overlong forms, surrogates, code points above U+10FFFF or cut sequences).
bool esUtf8(std::string_view bytes);
// False, and salida untouched, when the bytes are not strictly valid UTF-8.
bool desdeUtf8(std::string_view bytes, std::u16string& salida);
// Each maximal broken part of a sequence becomes one U+FFFD.
std::u16string desdeUtf8Reemplazando(std::string_view bytes);
// An unpaired surrogate becomes U+FFFD.
void agregarUtf8(std::string& salida, std::u16string_view texto);

// Unpaired surrogates and an odd last byte become U+FFFD (a lead surrogate last and the odd byte
// after it, one). The Windows build decodes UTF-16 with it too.
std::u16string desdeUtf16(std::string_view bytes, bool grandeAlFinal);
// The five bytes Windows-1252 leaves undefined become the C1 controls of equal value.
std::u16string desde1252(std::string_view bytes);

// Unicode default full lower-casing in the root locale: U+0130 becomes "i" U+0307 and a capital
// sigma becomes final where a cased letter precedes it and none follows it (case-ignorable
// characters between them passed over).
std::u16string minusculas(std::u16string_view texto);
// The same on UTF-8; ill-formed bytes are copied unchanged.
void agregarMinusculasUtf8(std::string& salida, std::string_view texto);

}  // namespace tralmix::texto::propio
