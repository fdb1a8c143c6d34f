#include "util/cadenas.h"

#include <gtest/gtest.h>

#include <random>

#include "puerto_falso.h"
#include "referencia/literal.h"
#include "util/archivos.h"

namespace tralmix {
namespace {

struct CasoReemplazar {
    std::u16string texto, buscado, reemplazo;
    std::int64_t inicio, cantidad;
    int modo;
    std::u16string esperado;
};

// The helper's own rules (the reference every replacement of the program is held to).
TEST(Reemplazar, FollowsItsRules) {
    const std::vector<CasoReemplazar> casos = {
        {u"%%", u"%", u" ", 1, -1, 0, u"  "},           // found again right after a replacement
        {u"aaa", u"a", u"aa", 1, -1, 0, u"aaaaaa"},     // a replacement is never searched again
        {u"abcabc", u"abc", u"X", 1, 1, 0, u"Xabc"},    // one replacement only
        {u"abcabc", u"abc", u"X", 1, 0, 0, u"abcabc"},  // none asked
        {u"abcabc", u"abc", u"X", 2, -1, 0, u"abcX"},   // characters before the start untouched
        {u"abcabc", u"abc", u"X", -5, -1, 0, u"XX"},    // a start below 1 counts as 1
        {u"abc", u"b", u"X", 4, -1, 0, u""},            // a start past the end gives nothing
        {u"", u"a", u"b", 1, -1, 0, u""},
        {u"abc", u"", u"X", 1, -1, 0, u"abc"},           // empty sought text: unchanged
        {u"aaaa", u"aa", u"b", 1, -1, 0, u"bb"},         // no overlap, left to right
        {u"ABC abc", u"abc", u"x", 1, -1, 0, u"ABC x"},  // exact: capitals do not match
        {u"ÁRBOL árbol", u"árbol", u"x", 1, -1, 1, u"x x"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(
            literal::reemplazar(c.texto, c.buscado, c.reemplazo, c.inicio, c.cantidad, c.modo),
            c.esperado)
            << prueba::u8(c.texto) << " / " << prueba::u8(c.buscado);
    }
}

// The program's in-place form gives exactly what the helper gives, from any start.
TEST(Reemplazar, InPlaceEqualsTheHelperOnRandomTexts) {
    std::mt19937 azar(12345);
    const std::u16string alfabeto = u"ad.-\r\n ,é";
    const std::vector<std::pair<std::u16string, std::u16string>> filas = {
        {u"..", u" "},  {u"...", u" "}, {u"-", u""}, {u".", u" "}, {u"\r\n", u" "},
        {u"add", u" "}, {u"ad", u"ad"}, {u",", u""}, {u"é", u" "}, {u"---", u""},
    };
    std::uniform_int_distribution<std::size_t> letra(0, alfabeto.size() - 1);
    std::uniform_int_distribution<std::size_t> largo(0, 40);
    for (int vuelta = 0; vuelta < 3000; ++vuelta) {
        std::u16string texto(largo(azar), u' ');
        for (auto& c : texto) {
            c = alfabeto[letra(azar)];
        }
        const std::size_t desde = texto.empty() ? 0 : azar() % texto.size();
        for (const auto& [buscado, reemplazo] : filas) {
            std::string enSitio = prueba::u8(texto);
            const std::size_t desdeBytes = prueba::u8(texto.substr(0, desde)).size();
            reemplazar(enSitio, prueba::u8(buscado), prueba::u8(reemplazo), desdeBytes);
            const std::u16string esperado =
                texto.substr(0, desde) +
                literal::reemplazar(texto.substr(desde), buscado, reemplazo);
            ASSERT_EQ(enSitio, prueba::u8(esperado)) << prueba::u8(texto) << " from " << desde;
        }
    }
}

TEST(BuscarAtras, Table) {
    EXPECT_EQ(buscarAtras(u"abc", u"abcd"), 0);
    EXPECT_EQ(buscarAtras(u"", u"a"), 0);
    EXPECT_EQ(buscarAtras(u"", u""), 0);
    EXPECT_EQ(buscarAtras(u"abc", u""), 4);
    EXPECT_EQ(buscarAtras(u"a\\b\\c", u"\\"), 4);
    EXPECT_EQ(buscarAtras(u"xabxab", u"ab"), 5);
    EXPECT_EQ(buscarAtras(u"xabxab", u"AB"), 0);
    EXPECT_EQ(buscarAtras(u"ab", u"ab"), 1);
    EXPECT_EQ(buscarAtras(u"xabxab", u"ab", 4), 2);  // bounded by the start position
}

TEST(NombreArchivo, CutsAtTheLastSeparatorAndLowerCases) {
    EXPECT_EQ(nombreArchivo(u"D:\\Listas\\Clientes.TXT"), u"clientes.txt");
    EXPECT_EQ(nombreArchivo(u"/home/ana/Listas/CLIENTES.Txt"), u"clientes.txt");
    EXPECT_EQ(nombreArchivo(u"/home/ana\\b/Ñandú.TXT"), u"ñandú.txt");
    EXPECT_EQ(nombreArchivo(u"mixto/a\\B.txt"), u"b.txt");
    EXPECT_EQ(nombreArchivo(u"SinCarpeta.TXT"), u"sincarpeta.txt");
    EXPECT_EQ(nombreArchivo(u"C:\\Listas\\"), u"");
    EXPECT_EQ(nombreArchivo(u"/tmp/"), u"");
}

TEST(ExisteArchivo, OnlyExistingFiles) {
    prueba::CarpetaTemporal dir;
    const auto archivo = dir.escribir("Lista.txt", "x@y\r\n");
    EXPECT_TRUE(existeArchivo(archivos::desdeRuta(archivo)));
    EXPECT_FALSE(existeArchivo(archivos::desdeRuta(dir.ruta() / "lista.txt")));  // case counts
    EXPECT_FALSE(existeArchivo(u""));
    EXPECT_FALSE(existeArchivo(archivos::desdeRuta(dir.ruta() / "no" / "a.txt")));
    EXPECT_FALSE(existeArchivo(archivos::desdeRuta(archivo / "debajo.txt")));
    EXPECT_FALSE(existeArchivo(dir.u16()));  // a folder is not a file
    EXPECT_FALSE(existeArchivo(std::u16string(u"a\0b", 3)));
}

TEST(ConSeparador, EndsAFolderOnce) {
    const std::u16string s(1, kSeparador);
    EXPECT_EQ(conSeparador(u"/tmp"), u"/tmp" + s);
    EXPECT_EQ(conSeparador(u"/tmp/"), u"/tmp/");
    EXPECT_EQ(conSeparador(u"C:\\TEMP\\"), u"C:\\TEMP\\");
    EXPECT_EQ(conSeparador(u""), s);
}

}  // namespace
}  // namespace tralmix
