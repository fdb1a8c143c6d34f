#include "extract/limpieza.h"

#include <gtest/gtest.h>

#include "puerto_falso.h"

namespace tralmix {
namespace {

struct Caso {
    std::u16string entrada;
    std::u16string esperado;
};

TEST(Limpieza, ContactFileMarkup) {
    const std::vector<Caso> casos = {
        {u"<?xml version=\"1.0\"?>", u""},
        {u"<messenger>", u""},
        {u"<service name=\".NET Messenger Service\">", u""},
        {u"<contactlist>", u""},
        {u"</contactlist>", u""},
        {u"</service>", u""},
        {u"</messenger>", u""},
        {u"<contact type=\"1\">ana@example.com</contact>", u"ana@example.com"},
        {u"<contact type=\"32\">Bo@Example.com</contact>", u"Bo@Example.com"},
        // A tag without the attribute keeps its word.
        {u"<contact>ana@example.com</contact>", u" contact ana@example.com"},
        // A declaration with more attributes is not removed whole.
        {u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", u"  xml version 1.0 encoding UTF-8  "},
        // Capital tags only lose their punctuation.
        {u"<CONTACTLIST>", u" CONTACTLIST "},
        {u"<contact type=\"1\">x@y</CONTACT>", u"x@y  CONTACT "},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(limpieza(c.entrada), c.esperado) << prueba::u8(c.entrada);
    }
}

TEST(Limpieza, Punctuation) {
    const std::vector<Caso> casos = {
        {u"a!b\"c#d$e", u"abcde"},
        {u"%&'*+/:=<>?[\\]^{|}~", u"                   "},
        {u"%%", u"  "},
        {u"x@y%", u"x@y "},
        {u"x@y!", u"x@y"},
        {u"a@b, c@d;e@f", u"a@b, c@d;e@f"},  // the separators the classification looks for
        {u"Ana_Pérez-1 (casa)\t.@", u"Ana_Pérez-1 (casa)\t.@"},
        {u"  x@y  ", u"  x@y  "},  // neither trimmed nor lower-cased
        {u"mailto:A@B.COM", u"mailto A@B.COM"},
        {u"", u""},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(limpieza(c.entrada), c.esperado) << prueba::u8(c.entrada);
    }
}

}  // namespace
}  // namespace tralmix
