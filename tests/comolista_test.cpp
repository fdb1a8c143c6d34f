#include "extract/comolista.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "puerto_falso.h"

namespace tralmix {
namespace {

using V = std::vector<std::u16string>;

TEST(FiltrarLista, KeepsWhatLooksLikeAnAddress) {
    const std::vector<std::pair<std::u16string, std::u16string>> casos = {
        {u"x@y", u"x@y"},
        {u" x@y ", u" x@y "},  // unchanged, spaces and all
        {u"x@y.html", u"x@y"},
        {u"x@y.htm", u"x@y"},
        {u" x@y.htm ", u"x@y"},      // shortened elements are stored trimmed
        {u"x@y.HTML", u"x@y.HTML"},  // exact comparison
        {u"x@y.html..", u""},        // ".html" goes first, then ".." blanks it
        {u"x@y.htmlhtm", u"x@yhtm"},
        {u"x(y)@z", u""},
        {u"x@y)", u""},
        {u"x..y@z", u""},
        {u"xyz", u""},
        {u"Ana x@y", u"Ana x@y"},  // not cut at spaces
        {u"   ", u"   "},          // blank stays
        {u"", u""},
        {u"\tx@y", u"\tx@y"},
    };
    V lineas;
    for (const auto& c : casos) {
        lineas.push_back(c.first);
    }
    filtrarLista(lineas);
    for (std::size_t i = 0; i < casos.size(); ++i) {
        EXPECT_EQ(lineas[i], casos[i].second) << prueba::u8(casos[i].first);
    }
}

TEST(Comolista, SortsKeepsRepeatsAndWrites) {
    prueba::CarpetaTemporal dir;
    prueba::PuertoFalso puerto;
    puerto.resultado = dir.u16();
    Estado estado;
    estado.lineas = {u"b@x", u"nada", u"a@x", u"b@x", u"B@x", u""};
    EXPECT_EQ(comolista(estado, puerto), Desenlace::Escrito);
    EXPECT_EQ(estado.lineas, (V{u"", u"", u"B@x", u"a@x", u"b@x", u"b@x"}));
    EXPECT_EQ(prueba::leer(dir.ruta() / "Mails_20050305.txt"),
              "B@x\r\n\r\na@x, b@x, b@x\r\n\r\n\r\n");
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"Ya puede enviar Mails a toda es lista  :)"),
              std::u16string::npos);
}

TEST(Comolista, NothingLooksLikeAnAddress) {
    prueba::CarpetaTemporal dir;
    prueba::PuertoFalso puerto;
    puerto.resultado = dir.u16();
    Estado estado;
    estado.lineas = {u"uno", u"dos", u""};
    EXPECT_EQ(comolista(estado, puerto), Desenlace::Escrito);
    EXPECT_EQ(prueba::leer(dir.ruta() / "Mails_20050305.txt"), "");
    EXPECT_EQ(puerto.abiertos.size(), 1u);
}

// The list made from the working file's bytes equals comolista on the loaded lines: the same list
// in the same order and the same file, however the bytes are cut into pieces; and when the result
// cannot be created, the same lines left as loaded.
TEST(Comolista, FromTheWorkingBytesEqualsTheLoadedLines) {
    const std::vector<std::string> piezas = {"a@x.org",
                                             " ",
                                             "\t",
                                             "b@y",
                                             "(",
                                             ")",
                                             "..",
                                             ".",
                                             ".html",
                                             ".htm",
                                             "html",
                                             "@",
                                             "Z",
                                             "\xC3\xA9",
                                             "\xEE\x80\x80",
                                             "\xF0\x9F\x98\x80",
                                             std::string(1, '\0'),
                                             "x"};
    const std::vector<std::string> validas = {"a", "Z", " ", "\xC3\xA9", "\xF0\x9F\x98\x80"};
    prueba::Azar azar;
    prueba::CarpetaTemporal dir;
    for (int vuelta = 0; vuelta < 151; ++vuelta) {
        // The last list is long enough to be copied and converted in several pieces.
        const bool larga = vuelta == 150;
        std::vector<std::string> lineasUtf8(larga ? 50000 : 1 + azar.hasta(120));
        for (auto& l : lineasUtf8) {
            l = larga ? azar.juntar(validas, 4) + "abcdefghij@example.org" : azar.juntar(piezas, 6);
        }
        if (azar.hasta(3) == 0) {
            lineasUtf8.push_back(lineasUtf8.front());  // repeats stay
        }
        const bool escribible = vuelta % 10 != 5;
        TrabajoUtf8 trabajo;
        V cargadas;
        std::string pieza;
        for (const auto& l : lineasUtf8) {
            pieza += l + "\r\n";
            cargadas.push_back(prueba::u16(l));
            if (azar.hasta(4) == 0) {
                trabajo.trozos.push_back(std::move(pieza));
                pieza.clear();
            }
        }
        trabajo.trozos.push_back(pieza);
        trabajo.lineas = lineasUtf8.size();
        cargadas.emplace_back();  // the loader's element after the last CR LF

        prueba::PuertoFalso literal;
        literal.resultado = escribible ? dir.u16() + u"/literal" : dir.u16() + u"/falta";
        std::filesystem::create_directories(dir.ruta() / "literal");
        Estado esperado;
        esperado.lineas = cargadas;
        const Desenlace d = comolista(esperado, literal);

        prueba::PuertoFalso rapido;
        rapido.resultado = escribible ? dir.u16() + u"/rapido" : dir.u16() + u"/falta";
        std::filesystem::create_directories(dir.ruta() / "rapido");
        Estado obtenido;
        obtenido.lineas = {u"stale"};
        ASSERT_EQ(comolistaDesdeTrabajo(obtenido, rapido, std::move(trabajo)), d);
        ASSERT_EQ(obtenido.lineas, esperado.lineas) << vuelta;
        ASSERT_EQ(rapido.mensajes.size(), literal.mensajes.size());
        if (escribible) {
            ASSERT_EQ(prueba::leer(dir.ruta() / "rapido" / "Mails_20050305.txt"),
                      prueba::leer(dir.ruta() / "literal" / "Mails_20050305.txt"));
        }
    }
}

}  // namespace
}  // namespace tralmix
