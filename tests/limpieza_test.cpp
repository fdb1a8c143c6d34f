#include "extract/limpieza.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "puerto_falso.h"
#include "util/cadenas.h"

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

// The one-pass cleaning equals the table applied row by row with reemplazar, in UTF-16 and in
// UTF-8, on lines made of tags (whole, broken, nested in one another), the table's characters and
// others.
TEST(Limpieza, EqualsTheTableRowByRow) {
    std::vector<std::u16string> piezas = {u"a@b.com", u" ",       u"\t",         u"é",    u"<",
                                          u">",       u"contact", u"\U0001F600", u"www.", u"w",
                                          u"(",       u",",       u";"};
    for (const FilaTabla& fila : tablaLimpieza()) {
        piezas.emplace_back(fila.buscado);
        if (fila.buscado.size() > 2) {
            piezas.emplace_back(fila.buscado.substr(0, fila.buscado.size() / 2));
            piezas.emplace_back(fila.buscado.substr(fila.buscado.size() / 2));
        }
    }
    prueba::Azar azar;
    for (int vuelta = 0; vuelta < 5000; ++vuelta) {
        // Some lines are long enough to hold many "<".
        const std::u16string linea = azar.juntar(piezas, vuelta % 10 == 0 ? 60 : 8);
        std::u16string esperado = linea;
        for (const FilaTabla& fila : tablaLimpieza()) {
            esperado = reemplazar(esperado, fila.buscado, fila.reemplazo);
        }
        ASSERT_EQ(limpieza(linea), esperado) << prueba::u8(linea);
        std::string utf8 = "www.,|";  // what is there already does not count
        const MarcasLimpieza marcas = agregarLimpiezaUtf8(utf8, prueba::u8(linea));
        ASSERT_EQ(utf8, "www.,|" + prueba::u8(esperado)) << prueba::u8(linea);
        EXPECT_EQ(marcas.www, esperado.find(u"www.") != std::u16string::npos);
        EXPECT_EQ(marcas.separador, esperado.find_first_of(u",;") != std::u16string::npos);
    }
}

}  // namespace
}  // namespace tralmix
