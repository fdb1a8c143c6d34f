#include "util/cargador.h"

#include <gtest/gtest.h>

#include "puerto_falso.h"
#include "referencia/literal.h"
#include "util/afinado.h"
#include "util/archivos.h"

namespace tralmix {
namespace {

using V = literal::Lineas;

V cargar(const prueba::CarpetaTemporal& dir, std::string_view bytes) {
    Arreglo lineas = literal::comoArreglo({u"old", u"older", u"oldest"});
    EXPECT_EQ(cargarArchivo(lineas, archivos::desdeRuta(dir.escribir("trabajo.txt", bytes))), u"");
    return literal::comoLineas(lineas);
}

TEST(CargarArchivo, SplitsOnlyAtCrLf) {
    const std::vector<std::pair<std::string, V>> casos = {
        {"", V{}},  // a file of length 0: no elements at all
        {"a@b\r\n", V{u"a@b", u""}},
        {"a@b", V{u"a@b"}},
        {"\r\n", V{u"", u""}},
        {"a\nb\rc\r\n", V{u"a\nb\rc", u""}},  // a lone LF or CR stays inside
        {"jos\xC3\xA9@example.com\r\n", V{u"josé@example.com", u""}},
    };
    prueba::CarpetaTemporal dir;
    for (const auto& [bytes, esperado] : casos) {
        EXPECT_EQ(cargar(dir, bytes), esperado) << bytes;  // nothing of the earlier content stays
    }
}

// Read a piece at a time: lines that straddle the pieces, a CR LF cut between two of them, and a
// line longer than a piece come out whole, as the whole file split at once gives them.
TEST(CargarArchivo, PiecesOfTheFileJoinWhereTheyWereCut) {
    const std::size_t trozo = afinado::kTrozo;
    std::string bytes;
    V esperado;
    auto linea = [&](const std::string& texto) {
        bytes += texto + "\r\n";
        esperado.push_back(prueba::u16(texto));
    };
    while (bytes.size() < trozo - 100) {
        linea("u" + std::to_string(bytes.size()) + "@example.com");
    }
    // Its CR is the last byte of the first piece read (a piece and two bytes), its LF the next
    // piece's first.
    linea(std::string(trozo + 1 - bytes.size(), 'p'));
    linea(std::string(trozo * 2 + 7, 'l'));
    for (int i = 0; i < 1000; ++i) {
        linea("v" + std::to_string(i) + "@example.org");
    }
    bytes += "sin fin";
    esperado.push_back(u"sin fin");
    prueba::CarpetaTemporal dir;
    EXPECT_TRUE(cargar(dir, bytes) == esperado);  // megabytes: no listing on failure
}

TEST(CargarArchivo, FailureLeavesTheArrayAsItWas) {
    prueba::CarpetaTemporal dir;
    Arreglo lineas = literal::comoArreglo({u"keep"});
    EXPECT_NE(cargarArchivo(lineas, archivos::desdeRuta(dir.ruta() / "missing.txt")), u"");
    EXPECT_NE(cargarArchivo(lineas, dir.u16()), u"");  // a folder
    EXPECT_NE(cargarArchivo(lineas, archivos::desdeRuta(dir.escribir("bin.txt", "a\xFF\r\n"))),
              u"");  // not UTF-8
    EXPECT_EQ(literal::comoLineas(lineas), V{u"keep"});
}

TEST(Partir, EveryPieceThenTheRest) {
    Arreglo lineas;
    partir("x--y--", "--", lineas);
    partir("", "--", lineas);
    EXPECT_EQ(literal::comoLineas(lineas), (V{u"x", u"y", u"", u""}));
    EXPECT_EQ(contarElementos(lineas), 4);
    EXPECT_EQ(contarElementos(Arreglo{}), 0);
}

}  // namespace
}  // namespace tralmix
