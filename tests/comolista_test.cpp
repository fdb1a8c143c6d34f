#include "extract/comolista.h"
#include "extract/resultado.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "azar.h"
#include "puerto_falso.h"
#include "referencia/literal.h"

namespace tralmix {
namespace {

using V = literal::Lineas;

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
        {u".html", u""},
    };
    V lineas;
    for (const auto& c : casos) {
        lineas.push_back(c.first);
    }
    Arreglo a = literal::comoArreglo(lineas);
    comolista(a);
    literal::filtrarLista(lineas);
    for (std::size_t i = 0; i < casos.size(); ++i) {
        EXPECT_EQ(prueba::u16(a[i]), casos[i].second) << prueba::u8(casos[i].first);
        EXPECT_EQ(lineas[i], casos[i].second) << "literal: " << prueba::u8(casos[i].first);
    }
}

// The filter looks at sixteen bytes at a time: what it asks about at every place of an entry
// (across those boundaries, at the end of the block, beside an invisible character or a
// character that only shares its first byte) gives what the literal filter gives, whatever the
// order of the entries in their block.
TEST(FiltrarLista, EqualsTheLiteralFilterAtEveryPlace) {
    const std::vector<std::string> piezas = {
        "x",
        "abcdefghijklm",
        "@",
        ".",
        "..",
        ".h",
        ".htm",
        ".html",
        "(",
        ")",
        " ",
        "\xC3\xA9",           // é
        "\xC2\xAD",           // soft hyphen: invisible
        "\xC2\xA0",           // no-break space: the same first byte, visible
        "\xE2\x80\x8B",       // zero-width space
        "\xE2\x82\xAC",       // €
        "\xEF\xBB\xBF",       // U+FEFF
        "\xF3\xA0\x80\x81"};  // a tag character
    prueba::Azar azar;
    for (int vuelta = 0; vuelta < 200; ++vuelta) {
        V lineas;
        for (int k = 0; k < 40; ++k) {
            lineas.push_back(prueba::u16(azar.juntar(piezas, 12)));
        }
        Arreglo a = literal::comoArreglo(lineas);
        // Every other round the entries are out of their block's order and the block is shared
        // with a copy, which a shortened entry must leave untouched.
        const bool revueltas = vuelta % 2 == 1;
        if (revueltas) {
            std::reverse(a.lugares().begin(), a.lugares().end());
            std::reverse(lineas.begin(), lineas.end());
        }
        const Arreglo copia = a;
        const V antes = literal::comoLineas(copia);
        comolista(a);
        literal::filtrarLista(lineas);
        ASSERT_EQ(literal::comoLineas(a), lineas);
        ASSERT_EQ(literal::comoLineas(copia), antes);
    }
}

TEST(Comolista, SortsKeepsRepeatsAndWrites) {
    prueba::CarpetaTemporal dir;
    prueba::PuertoFalso puerto;
    puerto.resultado = dir.u16();
    Estado estado;
    puerto.preparar(estado);
    estado.lineas = literal::comoArreglo({u"b@x", u"nada", u"a@x", u"b@x", u"B@x", u""});
    comolista(estado.lineas);
    EXPECT_EQ(ordenarYEscribir(estado, puerto, Camino::Lista), Desenlace::Escrito);
    EXPECT_EQ(literal::comoLineas(estado.lineas), (V{u"", u"", u"B@x", u"a@x", u"b@x", u"b@x"}));
    EXPECT_EQ(prueba::leer(dir.ruta() / "Mails_20050305.txt"),
              "B@x\r\n\r\na@x, b@x, b@x\r\n\r\n\r\n");
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"Ya puede enviar Mails a toda es lista  :)"),
              std::u16string::npos);
}

// Nothing looks like an address: no list (the literal run wrote an empty one and announced it).
TEST(Comolista, NothingLooksLikeAnAddress) {
    prueba::CarpetaTemporal dir;
    prueba::PuertoFalso puerto;
    puerto.resultado = dir.u16();
    Estado estado;
    puerto.preparar(estado);
    estado.archivoEntrada = u"/datos/nombres.txt";
    estado.lineas = literal::comoArreglo({u"uno", u"dos", u""});
    comolista(estado.lineas);
    EXPECT_EQ(ordenarYEscribir(estado, puerto, Camino::Lista), Desenlace::Rechazado);
    EXPECT_FALSE(std::filesystem::exists(dir.ruta() / "Mails_20050305.txt"));
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].texto,
              u"No se encontraron direcciones en el archivo:\r\n/datos/nombres.txt");
    EXPECT_TRUE(puerto.abiertos.empty());
}

}  // namespace
}  // namespace tralmix
