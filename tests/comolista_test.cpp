#include "extract/comolista.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tralmix
