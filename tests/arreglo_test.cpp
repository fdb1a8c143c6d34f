#include "util/arreglo.h"

#include <gtest/gtest.h>

#include "referencia/literal.h"

namespace tralmix {
namespace {

using V = literal::Lineas;

TEST(Arreglo, ElementsInOneBlock) {
    Arreglo a;
    EXPECT_TRUE(a.empty());
    a.agregar("b@x");
    a.agregarVacio();
    a.agregar(std::string("n\0l", 3));  // a NUL is a character like any other
    a.agregar("");
    EXPECT_EQ(literal::comoLineas(a), (V{u"b@x", u"", std::u16string(u"n\0l", 3), u""}));

    a.acortar(0, "b@");
    a.vaciar(2);
    EXPECT_EQ(literal::comoLineas(a), (V{u"b@", u"", u"", u""}));

    // A copy is a copy, though it shares the texts until one of them changes one.
    Arreglo copia = a;
    copia.vaciar(0);
    EXPECT_EQ(a[0], "b@");
    EXPECT_FALSE(copia == a);
    copia.acortar(1, "");
    copia.agregar("z@x");
    a.acortar(0, "b");
    EXPECT_EQ(literal::comoLineas(copia), (V{u"", u"", u"", u"", u"z@x"}));
    EXPECT_EQ(literal::comoLineas(a), (V{u"b", u"", u"", u""}));

    // Appended whole, from a place on, whichever block is the larger.
    Arreglo grande = literal::comoArreglo({u"", u"una direccion larga@x", u"otra@x"});
    Arreglo corta = literal::comoArreglo({u"c@x"});
    corta.anexar(std::move(grande), 1);
    EXPECT_EQ(literal::comoLineas(corta), (V{u"c@x", u"una direccion larga@x", u"otra@x"}));
    Arreglo otra = literal::comoArreglo({u"", u"d@x"});
    corta.anexar(std::move(otra));
    EXPECT_EQ(literal::comoLineas(corta),
              (V{u"c@x", u"una direccion larga@x", u"otra@x", u"", u"d@x"}));

    a.clear();
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a.size(), 0u);
}

// A block lent to another array, which appends to it, takes a larger array's texts and starts
// again, comes back with both arrays' elements, none of the lender's moved.
TEST(Arreglo, LentBlockComesBackWithEverything) {
    Arreglo todas = literal::comoArreglo({u"a@x", u"b@x"});
    Arreglo prestado = todas.prestarBloque();
    ASSERT_TRUE(prestado.prestado());
    ASSERT_TRUE(prestado.empty());
    const std::size_t base = prestado.tamanoBytes();
    prestado.agregar("perdida@x");
    prestado.vaciarDesde(base);  // read again from the start: what it added goes
    EXPECT_EQ(prestado.tamanoBytes(), base);
    prestado.agregar("c@x");
    prestado.anexar(literal::comoArreglo({u"una direccion mucho mas larga que todo@x", u"d@x"}));
    todas.recobrar(std::move(prestado));
    EXPECT_EQ(literal::comoLineas(todas),
              (V{u"a@x", u"b@x", u"c@x", u"una direccion mucho mas larga que todo@x", u"d@x"}));
    EXPECT_FALSE(todas.prestado());

    // Nothing lent by an array without a block: the other's own block comes instead.
    Arreglo vacia;
    Arreglo nueva = vacia.prestarBloque();
    EXPECT_FALSE(nueva.prestado());
    nueva.agregar("e@x");
    vacia.recobrar(std::move(nueva));
    EXPECT_EQ(literal::comoLineas(vacia), (V{u"e@x"}));
}

// Grown over many blocks' worth of text, every element keeps its own.
TEST(Arreglo, GrowsWithoutLosingAnything) {
    Arreglo a;
    constexpr int kCuantos = 200000;
    for (int i = 0; i < kCuantos; ++i) {
        a.agregar("u" + std::to_string(i) + "@example.com");
    }
    ASSERT_EQ(a.size(), static_cast<std::size_t>(kCuantos));
    EXPECT_EQ(a[0], "u0@example.com");
    EXPECT_EQ(a[123456], "u123456@example.com");
    EXPECT_EQ(a[kCuantos - 1], "u199999@example.com");
}

}  // namespace
}  // namespace tralmix
