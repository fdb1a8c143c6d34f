#include "extract/limpieza.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "extract/tabla_masivo.h"
#include "puerto_falso.h"
#include "referencia/literal.h"

namespace tralmix {
namespace {

std::string limpiar(std::string_view linea) {
    std::string limpia;
    limpieza(linea, limpia);
    return limpia;
}

TEST(Limpieza, ContactFileMarkupAndPunctuation) {
    const std::vector<std::pair<std::string, std::string>> casos = {
        {"<?xml version=\"1.0\"?>", ""},
        {"<service name=\".NET Messenger Service\">", ""},
        {"</contactlist>", ""},
        {"<contact type=\"1\">ana@example.com</contact>", "ana@example.com"},
        {"<contact type=\"32\">Bo@Example.com</contact>", "Bo@Example.com"},
        // A tag without the attribute keeps its word.
        {"<contact>ana@example.com</contact>", " contact ana@example.com"},
        // A declaration with more attributes is not removed whole.
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "  xml version 1.0 encoding UTF-8  "},
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

// Both tables row by row, in the order they are applied: the literal references read the program's
// own tables, so only this catches a mistyped row.
TEST(Tablas, EveryRowAsWritten) {
    const std::string q = "\"";
    const std::string xml = "<?xml version=" + q + "1.0" + q + "?>";
    const std::string servicio = "<service name=" + q + ".NET Messenger Service" + q + ">";
    const std::string contacto1 = "<contact type=" + q + "1" + q + ">";
    const std::string contacto32 = "<contact type=" + q + "32" + q + ">";
    std::vector<std::pair<std::string, std::string>> limpiezaEsperada = {{xml, ""},
                                                                         {"<messenger>", ""},
                                                                         {servicio, ""},
                                                                         {"<contactlist>", ""},
                                                                         {contacto1, ""},
                                                                         {contacto32, ""},
                                                                         {"</contactlist>", ""},
                                                                         {"</contact>", ""},
                                                                         {"</service>", ""},
                                                                         {"</messenger>", ""},
                                                                         {"!", ""},
                                                                         {q, ""},
                                                                         {"#", ""},
                                                                         {"$", ""}};
    for (const char c : std::string("%&'*+/:=<>?[\\]^{|}~")) {
        limpiezaEsperada.emplace_back(std::string(1, c), " ");
    }
    std::vector<std::pair<std::string, std::string>> masivoEsperada = {
        {".html", ""},     {".htm", ""}, {"de:", " "}, {"from:", " "},  {"asunto:", " "},
        {"subject:", " "}, {"a:", " "},  {"to:", " "}, {"fecha:", " "}, {"date:", " "},
        {"enviado:", " "}, {"fw:", " "}, {"cc:", " "}, {"cco:", " "},   {"<", " "},
        {">", " "},        {q, " "},     {":", " "},   {"add", " "},    {"sender to contacts", " "},
        {",", " "},        {";", " "},   {"\r\n", " "}};
    for (const std::size_t n : {7u, 6u, 5u, 4u, 3u, 2u}) {
        masivoEsperada.emplace_back(std::string(n, '.'), " ");
    }
    for (std::size_t n = 10; n >= 2; --n) {
        masivoEsperada.emplace_back(std::string(n, '-'), " ");
    }
    for (const auto& [tabla, esperada] :
         {std::pair{tablaLimpieza(), limpiezaEsperada}, std::pair{tablaMasivo(), masivoEsperada}}) {
        ASSERT_EQ(tabla.size(), esperada.size());
        for (std::size_t i = 0; i < tabla.size(); ++i) {
            EXPECT_EQ(tabla[i].buscado, esperada[i].first) << "row " << i + 1;
            EXPECT_EQ(tabla[i].reemplazo, esperada[i].second) << "row " << i + 1;
        }
    }
}

}  // namespace
}  // namespace tralmix
