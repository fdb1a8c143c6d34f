#include "extract/cubo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "azar.h"
#include "util/texto.h"

namespace tralmix {
namespace {

using V = std::vector<std::u16string>;

// The reference: the insertion sort the order is defined by.
void insercion(V& m, bool ascendente) {
    for (std::size_t i = 1; i < m.size(); ++i) {
        std::u16string v = m[i];
        std::size_t j = i;
        while (j > 0 && (ascendente ? v < m[j - 1] : v >= m[j - 1])) {
            m[j] = m[j - 1];
            --j;
        }
        m[j] = v;
    }
}

TEST(Cubo, CodeUnitOrder) {
    V m = {u"b", u"", u"B", u"a", u"b"};
    ASSERT_TRUE(Cubo(m, true));
    EXPECT_EQ(m, (V{u"", u"B", u"a", u"b", u"b"}));
    ASSERT_TRUE(Cubo(m, false));
    EXPECT_EQ(m, (V{u"b", u"b", u"a", u"B", u""}));

    V prefijos = {u"ab", u"a", u" a", u"Z", u"é", u"e", u"\U0001F600", u"\uFFFF"};
    ASSERT_TRUE(Cubo(prefijos, true));
    // Code units, not code points: a surrogate pair sorts before U+FFFF.
    EXPECT_EQ(prefijos, (V{u" a", u"Z", u"a", u"ab", u"e", u"é", u"\U0001F600", u"\uFFFF"}));
}

TEST(Cubo, EmptyArrayIsAFailureThatChangesNothing) {
    V vacio;
    EXPECT_FALSE(Cubo(vacio, true));
    EXPECT_TRUE(vacio.empty());
    V uno = {u"x"};
    EXPECT_TRUE(Cubo(uno, true));
    EXPECT_EQ(uno, V{u"x"});
}

TEST(Cubo, EqualsTheInsertionSortOnRandomArrays) {
    std::mt19937 azar(7);
    const std::u16string letras = u" aAbB.@é";
    for (int vuelta = 0; vuelta < 300; ++vuelta) {
        V m(azar() % 40);
        for (auto& s : m) {
            s.resize(azar() % 4);
            for (auto& c : s) {
                c = letras[azar() % letras.size()];
            }
        }
        for (bool asc : {true, false}) {
            V esperado = m;
            insercion(esperado, asc);
            V obtenido = m;
            Cubo(obtenido, asc);
            ASSERT_EQ(obtenido, esperado);
        }
    }
}

// Long texts with shared beginnings, NULs, surrogate pairs and U+E000–U+FFFF: the keyed sort goes
// several levels deep and must still give the insertion sort's order, and the UTF-8 sort the
// same order for the same texts.
TEST(Cubo, KeyedLevelsEqualTheInsertionSort) {
    prueba::Azar azar;
    const std::vector<std::u16string> piezas = {
        u"a", u"ab",     u"abcdefgh", u"abcdefg", std::u16string(u"\0", 1),
        u" ", u"@x.org", u"é",        u"",       u"￿",
        u"😀", u"𐀀",      u"ÿ",        u"Z",       u"abcdefghabcdefgh"};
    for (int vuelta = 0; vuelta < 400; ++vuelta) {
        V m(azar.hasta(60));
        for (auto& s : m) {
            s = azar.juntar(piezas, 6);
        }
        if (!m.empty() && azar.hasta(2) == 0) {
            m.push_back(m[azar.hasta(m.size())]);  // repeats
        }
        for (bool asc : {true, false}) {
            V esperado = m;
            insercion(esperado, asc);
            V obtenido = m;
            EXPECT_EQ(Cubo(obtenido, asc), !m.empty());
            ASSERT_EQ(obtenido, esperado);
        }
        std::vector<std::string> utf8;
        for (const auto& s : m) {
            utf8.push_back(texto::aUtf8(s));
        }
        std::vector<std::string_view> vistas(utf8.begin(), utf8.end());
        ordenarComoUtf16(vistas);
        V esperado = m;
        insercion(esperado, true);
        ASSERT_EQ(vistas.size(), esperado.size());
        for (std::size_t i = 0; i < vistas.size(); ++i) {
            ASSERT_EQ(vistas[i], texto::aUtf8(esperado[i])) << i;
        }
        for (std::size_t i = 0; i + 1 < m.size(); ++i) {
            EXPECT_EQ(menorComoUtf16(utf8[i], utf8[i + 1]), m[i] < m[i + 1]);
        }
    }
}

// Large arrays are sorted in two parts at once; the order is still the code-unit order, also when
// every text shares its first units (nothing to split) or the array is already sorted.
TEST(Cubo, LargeArraysSortedInTwoPartsKeepTheOrder) {
    prueba::Azar azar;
    const std::vector<std::u16string> piezas = {u"a",      u"b",          u"ana.", u"@x.org",
                                                u"\uE000", u"\U0001F600", u"z",    u"9"};
    for (const std::u16string& comun : {std::u16string(), std::u16string(u"prefijo.comun.")}) {
        V m(80000);
        for (auto& s : m) {
            s = comun + azar.juntar(piezas, 5);
        }
        for (int vez = 0; vez < 2; ++vez) {  // the second time the array is sorted already
            V esperado = m;
            std::sort(esperado.begin(), esperado.end());
            std::vector<std::string> utf8;
            for (const auto& s : m) {
                utf8.push_back(texto::aUtf8(s));
            }
            std::vector<std::string_view> vistas(utf8.begin(), utf8.end());
            ordenarComoUtf16(vistas);
            ASSERT_TRUE(Cubo(m, true));
            ASSERT_EQ(m, esperado);
            for (std::size_t i = 0; i < vistas.size(); ++i) {
                ASSERT_EQ(vistas[i], texto::aUtf8(esperado[i])) << i;
            }
        }
    }
}

}  // namespace
}  // namespace tralmix
