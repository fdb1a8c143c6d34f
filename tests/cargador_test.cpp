#include <gtest/gtest.h>

#include "puerto_falso.h"
#include "util/archivos.h"
#include "util/cadenas.h"

namespace tralmix {
namespace {

using V = std::vector<std::u16string>;

struct CasoCarga {
    const char* nombre;
    std::string bytes;
    V esperado;
};

TEST(CargarArchivo, SplitsOnlyAtCrLf) {
    const std::vector<CasoCarga> casos = {
        {"empty file: no elements", "", V{}},
        {"one line and its end", "a@b\r\n", V{u"a@b", u""}},
        {"no line end", "a@b", V{u"a@b"}},
        {"only a line end", "\r\n", V{u"", u""}},
        {"lone LF and CR stay inside", "a\nb\rc\r\n", V{u"a\nb\rc", u""}},
        {"utf8 text", "jos\xC3\xA9@example.com\r\n", V{u"josé@example.com", u""}},
    };
    prueba::CarpetaTemporal dir;
    for (const auto& c : casos) {
        const auto ruta = dir.escribir("trabajo.txt", c.bytes);
        V lineas = {u"old", u"older", u"oldest", u"x", u"y", u"z"};
        EXPECT_EQ(cargarArchivo(lineas, archivos::desdeRuta(ruta)), u"") << c.nombre;
        EXPECT_EQ(lineas, c.esperado) << c.nombre;  // nothing of the earlier content survives
        EXPECT_EQ(contarElementos(lineas), static_cast<std::int64_t>(c.esperado.size()));
    }
}

TEST(CargarArchivo, FailureLeavesTheArrayAsItWas) {
    prueba::CarpetaTemporal dir;
    V lineas = {u"keep"};
    EXPECT_NE(cargarArchivo(lineas, archivos::desdeRuta(dir.ruta() / "missing.txt")), u"");
    EXPECT_EQ(lineas, V{u"keep"});
    EXPECT_NE(cargarArchivo(lineas, dir.u16()), u"");  // a folder
    EXPECT_EQ(lineas, V{u"keep"});
}

// More than 32,768 pieces are all kept and counted: no 16-bit limit.
TEST(CargarArchivo, NoLimitOnThePieces) {
    prueba::CarpetaTemporal dir;
    std::string bytes;
    constexpr int kLineas = 70000;
    for (int i = 0; i < kLineas; ++i) {
        bytes += "u" + std::to_string(i) + "@example.com\r\n";
    }
    const auto ruta = dir.escribir("grande.txt", bytes);
    V lineas;
    EXPECT_EQ(cargarArchivo(lineas, archivos::desdeRuta(ruta)), u"");
    ASSERT_EQ(contarElementos(lineas), kLineas + 1);
    EXPECT_EQ(lineas[32768], u"u32768@example.com");
    EXPECT_EQ(lineas[kLineas - 1], u"u69999@example.com");
    EXPECT_EQ(lineas[kLineas], u"");
}

TEST(Partir, StoresFromTheIndexAndDropsWhatLiesAbove) {
    V lineas = {u"a", u"b", u"c", u"d"};
    std::int64_t indice = 1;
    partir(u"x--y", u"--", lineas, indice);
    EXPECT_EQ(lineas, (V{u"a", u"x", u"y"}));
    EXPECT_EQ(indice, 3);
    indice = 0;
    partir(u"", u"--", lineas, indice);
    EXPECT_EQ(lineas, V{u""});
}

TEST(ContarElementos, ZeroWithoutElements) {
    EXPECT_EQ(contarElementos(V{}), 0);
    EXPECT_EQ(contarElementos(V{u""}), 1);
}

}  // namespace
}  // namespace tralmix
