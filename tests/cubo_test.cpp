#include "extract/cubo.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "puerto_falso.h"
#include "referencia/literal.h"

namespace tralmix {
namespace {

using V = literal::Lineas;

V ordenar(const V& m, bool ascendente) {
    Arreglo a = literal::comoArreglo(m);
    EXPECT_EQ(Cubo(a, ascendente), !m.empty());
    return literal::comoLineas(a);
}

TEST(Cubo, CodeUnitOrder) {
    const V m = {u"b", u"", u"B", u"a", u"b"};
    EXPECT_EQ(ordenar(m, true), (V{u"", u"B", u"a", u"b", u"b"}));
    EXPECT_EQ(ordenar(m, false), (V{u"b", u"b", u"a", u"B", u""}));
    // Code units, not code points: a surrogate pair sorts before U+FFFF.
    EXPECT_EQ(ordenar({u"ab", u"a", u" a", u"Z", u"é", u"e", u"\U0001F600", u"\uFFFF"}, true),
              (V{u" a", u"Z", u"a", u"ab", u"e", u"é", u"\U0001F600", u"\uFFFF"}));
    EXPECT_EQ(ordenar({}, true), V{});  // nothing to sort is a failure that changes nothing
    EXPECT_EQ(ordenar({u"x"}, true), V{u"x"});
}

// Texts with long shared beginnings, NULs, surrogate pairs and U+E000–U+FFFF, short and long
// arrays (split by bytes first, then by keys, several levels deep): always the insertion sort's
// order.
TEST(Cubo, EqualsTheInsertionSort) {
    prueba::Azar azar;
    const V piezas = {
        u"a",          u"ab",         u"abcdefgh", u"abcdefg", std::u16string(u"\0", 1),
        u" ",          u"@x.org",     u"é",        u"",        u"\uFFFF",
        u"\U0001F600", u"\U00010000", u"ÿ",        u"Z",       u"abcdefghabcdefgh"};
    for (int vuelta = 0; vuelta < 300; ++vuelta) {
        V m(vuelta == 1 ? 300000 : azar.hasta(60));  // one sorted by both cores
        for (auto& s : m) {
            s = azar.juntar(piezas, 6);
        }
        if (!m.empty() && azar.hasta(2) == 0) {
            m.push_back(m[azar.hasta(m.size())]);  // repeats
        }
        for (bool asc : {true, false}) {
            V esperado = m;
            literal::Cubo(esperado, asc);
            ASSERT_TRUE(ordenar(m, asc) == esperado) << "round " << vuelta;
        }
        for (std::size_t i = 0; i + 1 < m.size() && i < 100; ++i) {
            EXPECT_EQ(menorComoUtf16(prueba::u8(m[i]), prueba::u8(m[i + 1])), m[i] < m[i + 1]);
        }
    }
}

// Many equal texts, and texts that differ only far in: still sorted, and in few steps.
TEST(Cubo, EqualAndLongTextsAreSettled) {
    V m(100000, std::u16string(300, u'x'));
    m[500] += u"a";
    m[99999] = u"w";
    V esperado = m;
    literal::Cubo(esperado, true);
    EXPECT_TRUE(ordenar(m, true) == esperado);
}

// Asked to stop, the sort stops: told of its progress, it is never told of more than it has.
TEST(Cubo, StopsWhenAsked) {
    struct Parar final : Avance {
        int llamadas = 0;
        bool seguir(std::uint64_t hecho, std::uint64_t total) override {
            EXPECT_LE(hecho, total);
            return ++llamadas < 2;
        }
    } parar;
    V m(300000);
    prueba::Azar azar;
    for (auto& s : m) {
        s = azar.juntar(V{u"a", u"b", u"c", u"d"}, 12);
    }
    Arreglo a = literal::comoArreglo(m);
    EXPECT_TRUE(Cubo(a, true, &parar));
    EXPECT_EQ(parar.llamadas, 2);
    EXPECT_EQ(a.size(), m.size());  // nothing lost, whatever the order
}

}  // namespace
}  // namespace tralmix
