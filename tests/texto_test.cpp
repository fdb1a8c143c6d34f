#include "util/texto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "azar.h"

namespace tralmix::texto {
namespace {

struct CasoDecodificar {
    const char* nombre;
    std::string bytes;
    std::u16string esperado;
};

class Decodificar : public ::testing::TestWithParam<CasoDecodificar> {};

TEST_P(Decodificar, DecidesOnceForTheWholeFile) {
    EXPECT_EQ(decodificar(GetParam().bytes), GetParam().esperado) << GetParam().nombre;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Decodificar,
    ::testing::Values(
        CasoDecodificar{"ascii", "ana@example.com\r\n", u"ana@example.com\r\n"},
        CasoDecodificar{"empty", "", u""},
        CasoDecodificar{"utf8", "Jos\xC3\xA9 <jose@example.com>", u"José <jose@example.com>"},
        CasoDecodificar{"utf8 bom dropped", "\xEF\xBB\xBFx@y", u"x@y"},
        CasoDecodificar{"utf16le bom", std::string("\xFF\xFEh\0\xE9\0", 6), u"hé"},
        CasoDecodificar{"utf16be bom", std::string("\xFE\xFF\0h\0\xE9", 6), u"hé"},
        CasoDecodificar{"utf16le odd byte", std::string("\xFF\xFEh\0x", 5), u"h\uFFFD"},
        CasoDecodificar{"utf16le lone lead surrogate and an odd byte are one",
                        std::string("\xFF\xFEh\0\0\xD8x", 7), u"h\uFFFD"},
        CasoDecodificar{"utf16be two lone leads and an odd byte",
                        std::string("\xFE\xFF\xD8\0\xD8\0x", 7), u"\uFFFD\uFFFD"},
        CasoDecodificar{"utf32le bom", std::string("\xFF\xFE\0\0h\0\0\0\x00\xF6\x01\0", 12),
                        u"h\U0001F600"},
        CasoDecodificar{"utf32be bom, bad code points and a short tail",
                        std::string("\0\0\xFE\xFF\0\0\0h\0\x11\0\0\0\0\xD8\0\0\0", 18),
                        u"h\uFFFD\uFFFD\uFFFD"},
        CasoDecodificar{"cp1252 letters", "Jos\xE9 \x80", u"José €"},
        CasoDecodificar{"cp1252 undefined bytes keep their value", "\x81\x8D\x8F\x90\x9D",
                        u"\u0081\u008D\u008F\u0090\u009D"},
        CasoDecodificar{"one bad byte sends the whole file to cp1252", "Jos\xC3\xA9 \xE9",
                        u"Jos\u00C3\u00A9 \u00E9"},
        CasoDecodificar{"overlong utf8 is not utf8", "\xC0\xAF", u"\u00C0\u00AF"},
        CasoDecodificar{"utf8 surrogate is not utf8", "\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},
        CasoDecodificar{"nul bytes kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)}),
    [](const auto& p) {
        std::string n = p.param.nombre;
        for (char& c : n) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return n;
    });

TEST(Utf8, RoundTripsAndRepairsLoneSurrogates) {
    EXPECT_EQ(aUtf8(u"José €😀"), "Jos\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(aUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
    std::u16string vuelta;
    ASSERT_TRUE(desdeUtf8(aUtf8(u"ñandú@example.com"), vuelta));
    EXPECT_EQ(vuelta, u"ñandú@example.com");
    EXPECT_FALSE(desdeUtf8("\xE9", vuelta));
    std::string agregado = "a";
    agregarUtf8(agregado, u"é");
    EXPECT_EQ(agregado, "a\xC3\xA9");
}

TEST(Minusculas, FullUnicodeMappingIndependentOfLocale) {
    const std::vector<std::pair<std::u16string, std::u16string>> casos = {
        {u"ANA@EXAMPLE.COM", u"ana@example.com"},
        {u"ÁÉÍÓÚÑÜ", u"áéíóúñü"},
        {u"İ", u"i\u0307"},  // full mapping lengthens the text
        {u"I", u"i"},        // root locale: no Turkish dotless i
        {u"ΟΔΟΣ", u"οδος"},  // final sigma by context
        {u"MiXeD 123 <A@B>", u"mixed 123 <a@b>"},
        {u"", u""},
    };
    for (const auto& [entrada, esperado] : casos) {
        EXPECT_EQ(minusculas(entrada), esperado);
    }
}

TEST(Recortar, OnlySpaces) {
    EXPECT_EQ(recortar(u"  a b  "), u"a b");
    EXPECT_EQ(recortar(u"\ta@b\t"), u"\ta@b\t");
    EXPECT_EQ(recortar(u"    "), u"");
    EXPECT_EQ(recortar(u""), u"");
    EXPECT_EQ(recortar(u" \u00A0x\u00A0 "), u"\u00A0x\u00A0");
}

// The UTF-8 forms of the codec give exactly what going through UTF-16 gives, on bytes of every
// kind: valid and broken UTF-8, byte-order marks, Windows-1252.
TEST(DecodificarUtf8, EqualsDecodingThroughUtf16) {
    prueba::Azar azar;
    const std::vector<std::string> piezas = {"a",
                                             "@",
                                             "\r\n",
                                             "\xC3\xA9",
                                             "\xE2\x82\xAC",
                                             "\xF0\x9F\x98\x80",
                                             "\xEF\xBB\xBF",
                                             "\xFF\xFE",
                                             "\xFE\xFF",
                                             "\xC0\xAF",
                                             "\xED\xA0\x80",
                                             "\xF4\x90\x80\x80",
                                             "\xE9",
                                             "\x80",
                                             "\xC3",
                                             std::string(1, '\0'),
                                             "\xEE\x80\x80",
                                             "\xEF\xBF\xBF",
                                             "abcdefghij"};
    for (int vuelta = 0; vuelta < 3000; ++vuelta) {
        const std::string b = vuelta % 3 == 0 ? azar.bytes(12) : azar.juntar(piezas, 8);
        ASSERT_EQ(decodificarUtf8(b), aUtf8(decodificar(b))) << vuelta;
        std::u16string ancho;
        ASSERT_EQ(esUtf8(b), desdeUtf8(b, ancho)) << vuelta;
    }
}

// Converters given a few bytes at a time give what they give the whole text in one call, and
// so do the long texts a run meets: no piece boundary splits a character or a surrogate pair.
TEST(Decodificar, InPiecesEqualsWhole) {
    prueba::Azar azar;
    const std::vector<std::string> marcas = {"",
                                             "\xFF\xFE",
                                             "\xFE\xFF",
                                             std::string("\xFF\xFE\0\0", 4),
                                             std::string("\0\0\xFE\xFF", 4),
                                             "\xEF\xBB\xBF"};
    const std::vector<std::string> piezas = {"a",
                                             "\r\n",
                                             "\x80",
                                             "\xE9",
                                             "\xD8",
                                             "\x3D\xD8",
                                             "\xDC",
                                             std::string(1, '\0'),
                                             "\xF0\x9F\x98\x80",
                                             "\xFF"};
    for (int vuelta = 0; vuelta < 2000; ++vuelta) {
        const std::string b = marcas[azar.hasta(marcas.size())] + azar.juntar(piezas, 40);
        const std::u16string entero = decodificar(b, b.size() + 1);
        for (const std::size_t pieza : {8u, 9u, 13u}) {
            ASSERT_EQ(decodificar(b, pieza), entero) << vuelta << " " << pieza;
            ASSERT_EQ(decodificarUtf8(b, pieza), aUtf8(entero)) << vuelta << " " << pieza;
        }
    }
}

// Lower-casing UTF-8 directly equals lower-casing its UTF-16 form, context rules included: a
// capital sigma is final or not by its neighbours, ASCII ones too.
TEST(MinusculasUtf8, EqualsTheFullMapping) {
    prueba::Azar azar;
    const std::vector<std::u16string> piezas = {u"A", u"z", u" ", u"\r\n",   u"Σ",         u"ΑΣ",
                                                u"İ", u"ẞ", u"ß", u"\u212A", u"É",         u"@",
                                                u"'", u".", u"Ω", u"ǅ",      u"\U00010400"};
    for (int vuelta = 0; vuelta < 3000; ++vuelta) {
        const std::string t = aUtf8(azar.juntar(piezas, 10));
        std::string obtenido = "prefijo";
        agregarMinusculasUtf8(obtenido, t);
        std::u16string ancho;
        ASSERT_TRUE(desdeUtf8(t, ancho));
        ASSERT_EQ(obtenido, "prefijo" + aUtf8(minusculas(ancho))) << t;
    }
}

// Every character, each between two letters: the per-character path gives the full mapping. (The
// capital sigma, which looks at its neighbours, is left to the case above.)
TEST(MinusculasUtf8, EveryCharacterAsTheFullMapping) {
    std::u16string todos;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if ((c >= 0xD800 && c <= 0xDFFF) || c == 0x3A3) {
            continue;
        }
        todos += u'X';
        if (c > 0xFFFF) {
            todos += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            todos += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            todos += static_cast<char16_t>(c);
        }
    }
    std::string obtenido;
    agregarMinusculasUtf8(obtenido, aUtf8(todos));
    EXPECT_TRUE(obtenido == aUtf8(minusculas(todos)));
    // ASCII alone, eight bytes at a time and one by one at the end.
    std::string ascii;
    std::string esperado;
    for (int c = 0; c < 128; ++c) {
        ascii += static_cast<char>(c);
        esperado += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    ascii += "XYZ";
    esperado += "xyz";
    obtenido.clear();
    agregarMinusculasUtf8(obtenido, ascii);
    EXPECT_EQ(obtenido, esperado);
}

}  // namespace
}  // namespace tralmix::texto
