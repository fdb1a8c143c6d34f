#include "util/cadenas.h"

#include <gtest/gtest.h>

#include <random>

#include "puerto_falso.h"
#include "util/archivos.h"

namespace tralmix {
namespace {

struct CasoReemplazar {
    std::u16string texto, buscado, reemplazo;
    std::int64_t inicio, cantidad;
    int modo;
    std::u16string esperado;
};

TEST(Reemplazar, Table) {
    const std::vector<CasoReemplazar> casos = {
        {u"%%", u"%", u" ", 1, -1, 0, u"  "},        // found again right after a replacement
        {u"aaa", u"a", u"aa", 1, -1, 0, u"aaaaaa"},  // a replacement is never searched again
        {u"abcabc", u"abc", u"", 1, -1, 0, u""},
        {u"abcabc", u"abc", u"X", 1, 1, 0, u"Xabc"},    // one replacement only
        {u"abcabc", u"abc", u"X", 1, 0, 0, u"abcabc"},  // none asked
        {u"abcabc", u"abc", u"X", 2, -1, 0, u"abcX"},   // characters before the start untouched
        {u"abcabc", u"abc", u"X", -5, -1, 0, u"XX"},    // a start below 1 counts as 1
        {u"abc", u"b", u"X", 4, -1, 0, u""},            // a start past the end gives nothing
        {u"", u"a", u"b", 1, -1, 0, u""},
        {u"abc", u"", u"X", 1, -1, 0, u"abc"},           // empty sought text: unchanged
        {u"aaaa", u"aa", u"b", 1, -1, 0, u"bb"},         // no overlap, left to right
        {u"ABC abc", u"abc", u"x", 1, -1, 0, u"ABC x"},  // exact: capitals do not match
        {u"ABC abc", u"abc", u"x", 1, -1, 1, u"x x"},    // case-blind mode
        {u"ÁRBOL árbol", u"árbol", u"x", 1, -1, 1, u"x x"},
        {u"a.htmlb.htm", u".htm", u"", 1, -1, 0, u"alb"},
        {u"ab", u"abc", u"x", 1, -1, 0, u"ab"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(reemplazar(c.texto, c.buscado, c.reemplazo, c.inicio, c.cantidad, c.modo),
                  c.esperado)
            << prueba::u8(c.texto) << " / " << prueba::u8(c.buscado) << " -> "
            << prueba::u8(c.reemplazo) << " from " << c.inicio << " x" << c.cantidad;
    }
}

// The in-place form must give exactly what reemplazar gives, on any text.
TEST(ReemplazarEnSitio, EqualsReemplazarOnRandomTexts) {
    std::mt19937 azar(12345);
    const std::u16string alfabeto = u"ad.-\r\n ,";
    const std::vector<std::pair<std::u16string, std::u16string>> filas = {
        {u"..", u" "},  {u"...", u" "}, {u"-", u""}, {u".", u" "}, {u"\r\n", u" "},
        {u"add", u" "}, {u"ad", u"ad"}, {u",", u""}, {u"a", u"a"}, {u"---", u""},
    };
    std::uniform_int_distribution<std::size_t> letra(0, alfabeto.size() - 1);
    std::uniform_int_distribution<std::size_t> largo(0, 40);
    for (int vuelta = 0; vuelta < 2000; ++vuelta) {
        std::u16string texto(largo(azar), u' ');
        for (auto& c : texto) {
            c = alfabeto[letra(azar)];
        }
        for (const auto& [buscado, reemplazo] : filas) {
            std::u16string enSitio = texto;
            reemplazarEnSitio(enSitio, buscado, reemplazo);
            ASSERT_EQ(enSitio, reemplazar(texto, buscado, reemplazo))
                << prueba::u8(texto) << " / " << prueba::u8(buscado);
        }
    }
    for (int vuelta = 0; vuelta < 2000; ++vuelta) {
        std::string texto(largo(azar), ' ');
        for (auto& c : texto) {
            c = static_cast<char>(alfabeto[letra(azar)]);
        }
        for (const auto& [buscado, reemplazo] : filas) {
            std::string enSitio = texto;
            reemplazarEnSitio(enSitio, prueba::u8(buscado), prueba::u8(reemplazo));
            ASSERT_EQ(enSitio, prueba::u8(reemplazar(prueba::u16(texto), buscado, reemplazo)))
                << texto << " / " << prueba::u8(buscado);
        }
    }
    std::u16string crece = u"aXa";
    reemplazarEnSitio(crece, u"a", u"bb");  // a longer replacement still works
    EXPECT_EQ(crece, u"bbXbb");
}

TEST(BuscarAtras, Table) {
    EXPECT_EQ(buscarAtras(u"abc", u"abcd"), 0);
    EXPECT_EQ(buscarAtras(u"", u"a"), 0);
    EXPECT_EQ(buscarAtras(u"", u""), 0);
    EXPECT_EQ(buscarAtras(u"abc", u""), 4);
    EXPECT_EQ(buscarAtras(u"a\\b\\c", u"\\"), 4);
    EXPECT_EQ(buscarAtras(u"xabxab", u"ab"), 5);
    EXPECT_EQ(buscarAtras(u"xabxab", u"AB"), 0);
    EXPECT_EQ(buscarAtras(u"xabxab", u"AB", -1, kCompararSinMayusculas), 5);
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

}  // namespace
}  // namespace tralmix
