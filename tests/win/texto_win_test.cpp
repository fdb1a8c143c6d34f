// The text module as Windows builds it: the same bytes as the Linux build everywhere except the
// few characters where the system's casing differs from the Unicode full mapping.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/texto.h"

namespace tralmix::texto {
namespace {

struct Caso {
    std::u16string entrada;
    std::u16string esperado;
};

// Letters of the scripts lists are written in lower-case exactly as the full mapping does.
TEST(MinusculasWindows, EqualToTheFullMappingOutsideTheListedCharacters) {
    const std::vector<Caso> casos = {
        {u"ANA@EXAMPLE.COM", u"ana@example.com"},
        {u"I", u"i"},  // the invariant locale: never a dotless i
        {u"ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞ", u"àáâãäåæçèéêëìíîïðñòóôõöøùúûüýþ"},
        {u"ŠŒŽŸĀĂĄĆČĎĐĒĘĚĞĢĪĮİ", u"šœžÿāăąćčďđēęěğģīįİ"},
        {u"ΆΈΉΊΌΎΏΑΒΓΔΩΪΫ", u"άέήίόύώαβγδωϊϋ"},
        {u"АБВЁЖЯЄІЇЎ", u"абвёжяєіїў"},
        {u"ⅫⒶＡＺ", u"ⅻⓐａｚ"},
        {u"\U00010400", u"\U00010428"},  // a surrogate pair stays a pair
        {u"", u""},
    };
    for (const auto& [entrada, esperado] : casos) {
        EXPECT_EQ(aUtf8(minusculas(entrada)), aUtf8(esperado)) << aUtf8(entrada);
        std::string utf8 = "x";
        agregarMinusculasUtf8(utf8, aUtf8(entrada));
        EXPECT_EQ(utf8, "x" + aUtf8(esperado)) << aUtf8(entrada);
    }
}

// The listed characters (docs/windows.md): simple one-for-one casing, so the text keeps its
// length and never gains a combining dot or a final sigma by context.
TEST(MinusculasWindows, ListedCharactersKeepTheirLength) {
    for (const std::u16string entrada : {u"İLKER", u"ΟΔΟΣ", u"STRAẞE", u"ǅ"}) {
        const std::u16string bajas = minusculas(entrada);
        EXPECT_EQ(bajas.size(), entrada.size()) << aUtf8(entrada);
        EXPECT_EQ(bajas.find(u'\u0307'), std::u16string::npos) << aUtf8(entrada);
        EXPECT_EQ(bajas.find(u'ς'), std::u16string::npos) << aUtf8(entrada);
    }
    EXPECT_EQ(minusculas(u"ΟΔΟΣ"), u"οδοσ");
    EXPECT_EQ(minusculas(u"İLKER").substr(1), u"lker");
}

// Windows' own conversions decide where ICU's do on Linux; these are the cases the golden
// lists depend on.
TEST(DecodificarWindows, SameDecisionsAsTheLinuxBuild) {
    const std::vector<std::pair<std::string, std::u16string>> casos = {
        {"\xEF\xBB\xBFJos\xC3\xA9", u"José"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xC0\xAF", u"\u00C0\u00AF"},                      // overlong: the whole file is 1252
        {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},            // encoded surrogate: likewise
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC"},  // above U+10FFFF: likewise
        {"\xE2\x82", u"\u00E2\u201A"},                      // cut short: likewise
        {"\x80\x81\x8D\x8F\x90\x9D\x9F", u"€\u0081\u008D\u008F\u0090\u009DŸ"},
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), u"\U0001F600"},
        {std::string("\xFF\xFE\x00\xD8x\x00", 6), u"\uFFFDx"},  // unpaired surrogate
        {std::string("\xFE\xFF\x00h\x00", 5), u"h\uFFFD"},      // odd last byte
        {std::string("\xFE\xFF\xDC\x00", 4), u"\uFFFD"},
    };
    for (const auto& [bytes, esperado] : casos) {
        EXPECT_EQ(aUtf8(decodificar(bytes)), aUtf8(esperado));
        EXPECT_EQ(decodificarUtf8(bytes), aUtf8(esperado));
    }
}

TEST(Utf8Windows, LoneSurrogatesBecomeTheReplacementCharacter) {
    EXPECT_EQ(aUtf8(std::u16string{u'a', char16_t{0xDC00}, u'b'}),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(aUtf8(std::u16string{char16_t{0xD800}}), "\xEF\xBF\xBD");
    // Lenient decoding never fails and never keeps an invalid byte; how many U+FFFD it gives
    // for one bad sequence is the system's own choice.
    const std::u16string reparado = desdeUtf8OReemplazo("a\xC3(b");
    EXPECT_EQ(reparado.front(), u'a');
    EXPECT_EQ(reparado.substr(reparado.size() - 2), u"(b");
    EXPECT_NE(reparado.find(u'\uFFFD'), std::u16string::npos);
}

}  // namespace
}  // namespace tralmix::texto
