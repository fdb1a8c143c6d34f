#include "extract/limpieza.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "puerto_falso.h"
#include "referencia/literal.h"

namespace tralmix {
namespace {

std::string limpiar(std::string_view linea) {
    std::string limpia;
    limpieza(linea, limpia);
    return limpia;
}

// Every row of the cleaning table has its effect, in both forms: the literal one applies the
// program's own table row by row, so only outputs written out here catch a mistyped row.
TEST(Limpieza, ContactFileMarkupAndPunctuation) {
    const std::vector<std::pair<std::string, std::string>> casos = {
        {"<?xml version=\"1.0\"?>", ""},
        {"<messenger><service name=\".NET Messenger Service\"><contactlist>", ""},
        {"</contactlist></service></messenger>", ""},
        {"<contact type=\"1\">ana@example.com</contact>", "ana@example.com"},
        {"<contact type=\"32\">Bo@Example.com</contact>", "Bo@Example.com"},
        // A tag without the attribute keeps its word.
        {"<contact>ana@example.com</contact>", " contact ana@example.com"},
        // A declaration with more attributes is not removed whole.
        {R"(<?xml version="1.0" encoding="UTF-8"?>)", "  xml version 1.0 encoding UTF-8  "},
        {"<CONTACTLIST>", " CONTACTLIST "},  // capitals only lose their punctuation
        {"a!b\"c#d$e", "abcde"},
        {"%&'*+/:=<>?[\\]^{|}~", "                   "},
        {"%%", "  "},
        {"x@y!", "x@y"},
        {"a@b, c@d;e@f", "a@b, c@d;e@f"},  // the separators the classification looks for
        {"Ana_P\xC3\xA9rez-1 (casa)\t.@", "Ana_P\xC3\xA9rez-1 (casa)\t.@"},
        {"  x@y  ", "  x@y  "},  // neither trimmed nor lower-cased
        {"", ""},
    };
    for (const auto& [linea, esperado] : casos) {
        EXPECT_EQ(limpiar(linea), esperado) << linea;
        EXPECT_EQ(prueba::u8(literal::limpieza(prueba::u16(linea))), esperado) << linea;
    }
}

// The one-pass cleaning equals the table applied row by row, on lines made of tags (whole,
// broken, nested in one another), the table's characters and others; it appends to what is
// there, and what it tells of the line is true of the cleaned line.
TEST(Limpieza, EqualsTheTableRowByRow) {
    std::vector<std::string> piezas = {
        "a@b.com",          " ",    "\t", "\xC3\xA9", "<", ">", "contact",
        "\xF0\x9F\x98\x80", "www.", "w",  "(",        ",", ";"};
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
        const std::string linea = azar.juntar(piezas, vuelta % 10 == 0 ? 60 : 8);
        const std::string esperado = prueba::u8(literal::limpieza(prueba::u16(linea)));
        std::string limpia = "w,<";
        const Rasgos rasgos = limpieza(linea, limpia);
        ASSERT_EQ(limpia, "w,<" + esperado) << linea;
        EXPECT_EQ(rasgos.separador, esperado.find_first_of(",;") != std::string::npos);
        EXPECT_EQ(rasgos.w, esperado.find('w') != std::string::npos);
    }
}

}  // namespace
}  // namespace tralmix
