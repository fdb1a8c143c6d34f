// The list's layout as every front end reads it: the values taken, and each refusal in the words
// the command, the windows and the page all show.

#include "extract/disposicion.h"

#include <gtest/gtest.h>

#include <string>

namespace tralmix {
namespace {

TEST(Disposicion, GroupSizes) {
    for (const char* bien : {"1", "48", "1000", "0007"}) {
        EXPECT_TRUE(leerPorGrupo(bien).valor) << bien;
    }
    for (const char* mal : {"", "0", "1001", "4x", " 5", "-3", "99999"}) {
        const auto r = leerPorGrupo(mal);
        EXPECT_FALSE(r.valor) << mal;
        EXPECT_EQ(r.error, "tamaño de grupo no válido: " + std::string(mal) +
                               " (se espera un número entero de 1 a 1000)");
    }
}

// What a mail program can split a line on stays; what would break, hide or join the list's
// addresses is refused with the reason, the same from UTF-8 (the command) and UTF-16 (the
// windows' boxes and the page).
TEST(Disposicion, Separators) {
    const std::u16string bienes[] = {
        u", ",      u"; ",         u" | ",           u"\u3001",
        u"\uFF0C ", u"\U0001F600", u"\u00A0;\u00A0", std::u16string(16, u',')};
    for (const std::u16string& bien : bienes) {
        const auto r = leerSeparador(bien);
        ASSERT_TRUE(r.valor) << r.error;
        EXPECT_EQ(leerSeparador(std::string_view(*r.valor)).valor, r.valor);
    }
    struct Caso {
        std::u16string texto;
        const char* motivo;  // what the refusal says after "separador no válido: "
    };
    const Caso casos[] = {
        {u"", "está vacío"},
        {std::u16string(17, u','), "tiene más de 16 bytes"},
        {u"\u3001\u3001\u3001\u3001\u3001\u3001", "tiene más de 16 bytes"},  // 18 bytes
        {u"\u0085",
         "no puede tener saltos de línea ni caracteres de control, invisibles o de "
         "dirección del texto (U+0085)"},
        {u", \u202E",
         "no puede tener saltos de línea ni caracteres de control, invisibles o de "
         "dirección del texto (U+202E)"},
        {std::u16string(u", \0<img>\r\n", 10),
         "no puede tener saltos de línea ni caracteres de control, invisibles o de dirección del "
         "texto (U+0000)"},
        {u",\u2060",
         "no puede tener saltos de línea ni caracteres de control, invisibles o de "
         "dirección del texto (U+2060)"},
        {u"\u2028",
         "no puede tener saltos de línea ni caracteres de control, invisibles o de "
         "dirección del texto (U+2028)"},
        {u"\uFEFF,",
         "no puede tener saltos de línea ni caracteres de control, invisibles o de "
         "dirección del texto (U+FEFF)"},
        {u"\t",
         "no puede tener saltos de línea ni caracteres de control, invisibles o de "
         "dirección del texto (U+0009)"},
        {u" @ ",
         "no puede tener «@»: los programas de correo no sabrían dónde acaba cada "
         "dirección"},
        {u" y ",
         "no puede tener letras ni cifras (U+0079 «y»): los programas de correo no "
         "sabrían dónde acaba cada dirección"},
        {u"5",
         "no puede tener letras ni cifras (U+0035 «5»): los programas de correo no sabrían "
         "dónde acaba cada dirección"},
        {u"\u0663",
         "no puede tener letras ni cifras (U+0663 «\u0663»): los programas de correo "
         "no sabrían dónde acaba cada dirección"},
        {u"\u00E9",
         "no puede tener letras ni cifras (U+00E9 «\u00E9»): los programas de correo "
         "no sabrían dónde acaba cada dirección"},
        {u"\u0301,", "no puede tener marcas que se combinan con el carácter anterior (U+0301)"},
        {u", \xD800", "no es texto Unicode válido (U+D800 sin su pareja)"},
        {u"\xDC00;", "no es texto Unicode válido (U+DC00 sin su pareja)"},
    };
    for (const Caso& c : casos) {
        const std::string esperado = std::string("separador no válido: ") + c.motivo;
        const auto r = leerSeparador(c.texto);
        EXPECT_FALSE(r.valor) << esperado;
        EXPECT_EQ(r.error, esperado);
    }
    // The UTF-8 form: the same reasons, and bytes that are no UTF-8.
    EXPECT_EQ(leerSeparador(std::string_view("\xC2\x85")).error,
              std::string("separador no válido: ") + casos[3].motivo);
    EXPECT_EQ(leerSeparador(std::string_view(", \xFF")).error,
              "separador no válido: no es texto UTF-8");
    EXPECT_EQ(leerSeparador(std::string_view("12345678901234567")).error,
              "separador no válido: tiene más de 16 bytes");
}

}  // namespace
}  // namespace tralmix
