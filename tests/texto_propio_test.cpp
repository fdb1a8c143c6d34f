// The browser's text module against ICU, which the Linux build uses: the same results for every
// code point and for texts made of the pieces where the two could part.

#include "util/texto_propio.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <string>
#include <vector>

#include "azar.h"
#include "util/texto.h"

namespace tralmix::texto {
namespace {

std::u16string punto(char32_t c) {
    if (c < 0x10000) {
        return {static_cast<char16_t>(c)};
    }
    return {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
            static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

TEST(TextoPropio, LowerCasesEveryCodePointAsIcu) {
    for (char32_t c = 0x80; c < 0x110000; ++c) {
        const std::u16string t = punto(c);
        ASSERT_EQ(propio::minusculas(t), minusculas(t)) << std::hex << static_cast<unsigned>(c);
        // What the final sigma asks of its neighbours.
        ASSERT_EQ(propio::conCaso(c), u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_CASED));
        ASSERT_EQ(propio::ignorable(c),
                  u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_CASE_IGNORABLE));
    }
}

TEST(TextoPropio, AgreesWithIcuOnTextsOfTheTrickyPieces) {
    const std::vector<std::string> piezas = {"a",
                                             "Z",
                                             "\xCE\xA3",
                                             "\xC4\xB0",
                                             "\xCC\x81",
                                             "'",
                                             ".",
                                             " ",
                                             "\xC3\x89",
                                             "\xF0\x90\x90\x80",
                                             "\xE1\xBA\x9E",
                                             "\xC7\x85",
                                             "\x80",
                                             "\xC3",
                                             "\xE2\x82",
                                             "\xED\xA0\x80",
                                             "\xF4\x90\x80\x80",
                                             "\xFF",
                                             "\xC0\xAF",
                                             "\xF0\x9F\x98",
                                             "@"};
    prueba::Azar azar;
    for (int n = 0; n < 20000; ++n) {
        const std::string bytes = azar.juntar(piezas, 8);
        SCOPED_TRACE(::testing::PrintToString(bytes));
        ASSERT_EQ(propio::esUtf8(bytes), esUtf8(bytes));
        ASSERT_EQ(propio::desdeUtf8Reemplazando(bytes), desdeUtf8OReemplazo(bytes));
        const std::u16string texto = desdeUtf8OReemplazo(bytes);
        // The engine lower-cases only decoded, so well-formed, UTF-8.
        std::string esperado;
        std::string obtenido;
        agregarMinusculasUtf8(esperado, aUtf8(texto));
        propio::agregarMinusculasUtf8(obtenido, aUtf8(texto));
        ASSERT_EQ(obtenido, esperado);
        // Bytes that are not UTF-8 decode as the other two encodings a file may hold; as UTF-16
        // they give lone surrogates too.
        const std::string par = bytes.size() % 2 == 0 ? bytes : bytes + "\xD8";
        for (const std::u16string& t : {texto, decodificar("\xFF\xFE" + par)}) {
            ASSERT_EQ(propio::minusculas(t), minusculas(t));
            std::string utf8;
            propio::agregarUtf8(utf8, t);
            ASSERT_EQ(utf8, aUtf8(t));
        }
        ASSERT_EQ(propio::desdeUtf16(bytes, false),
                  decodificar("\xFF\xFE" + bytes));  // an odd last byte too
        for (const std::string marca : {"\xFF\xFE", "\xFE\xFF"}) {
            ASSERT_EQ(propio::desdeUtf16(par, marca == "\xFE\xFF"), decodificar(marca + par));
        }
    }
}

// The invisible characters every build leaves out of addresses are exactly ICU's
// default-ignorables and bidirectional controls; the byte-level test and the whole-block test
// find each of them in UTF-8, with text around it, and nothing else; both look at sixteen bytes
// at a time, so each invisible one is also found at every place of those sixteen and across them.
TEST(Invisibles, EveryCodePointAsIcu) {
    for (char32_t c = 0; c < 0x110000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        const auto u = static_cast<UChar32>(c);
        const bool icu = u_hasBinaryProperty(u, UCHAR_DEFAULT_IGNORABLE_CODE_POINT) ||
                         u_hasBinaryProperty(u, UCHAR_BIDI_CONTROL);
        ASSERT_EQ(esInvisible(c), icu) << std::hex << static_cast<unsigned>(c);
        const std::string t = "an@x.com" + aUtf8(punto(c)) + "Ã©";
        ASSERT_EQ(tieneInvisible(t), icu) << std::hex << static_cast<unsigned>(c);
        if (!icu) {
            continue;
        }
        for (std::size_t antes = 0; antes <= 33; ++antes) {
            const std::string en = std::string(antes, 'a') + aUtf8(punto(c)) + "\xC3\xA9@x";
            ASSERT_TRUE(tieneInvisible(en)) << std::hex << static_cast<unsigned>(c) << " " << antes;
            ASSERT_TRUE(puedeTenerInvisible(en)) << std::hex << static_cast<unsigned>(c);
            ASSERT_TRUE(puedeTenerInvisible(std::string_view(en).substr(antes)));
        }
    }
}

// The classes every build judges separators by, from the table made at build time, are ICU's
// general categories for every code point.
TEST(Clases, EveryCodePointAsIcu) {
    for (char32_t c = 0; c < 0x110000; ++c) {
        const auto u = static_cast<UChar32>(c);
        const std::uint32_t g = U_GET_GC_MASK(u);
        Clase esperada = Clase::Otra;
        if ((g & (U_GC_CC_MASK | U_GC_CF_MASK | U_GC_ZL_MASK | U_GC_ZP_MASK)) != 0 ||
            esInvisible(c)) {
            esperada = Clase::Control;
        } else if ((g & (U_GC_L_MASK | U_GC_ND_MASK)) != 0) {
            esperada = Clase::LetraOCifra;
        } else if ((g & U_GC_M_MASK) != 0) {
            esperada = Clase::Marca;
        }
        ASSERT_EQ(clase(c), esperada) << std::hex << static_cast<unsigned>(c);
    }
    EXPECT_EQ(clase(0x110000), Clase::Control);
}

TEST(TextoPropio, Decodes1252AsIcu) {
    std::string todos;
    for (int b = 0; b < 256; ++b) {
        todos += static_cast<char>(b);
    }
    // 0xFF first makes it no UTF-8, so decodificar reads it as 1252.
    EXPECT_EQ(propio::desde1252("\xFF" + todos), decodificar("\xFF" + todos));
    std::u16string salida = u"sin tocar";
    EXPECT_FALSE(propio::desdeUtf8(todos, salida));
    EXPECT_EQ(salida, u"sin tocar");
}

}  // namespace
}  // namespace tralmix::texto
