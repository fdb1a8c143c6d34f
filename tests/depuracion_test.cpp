#include "extract/depuracion.h"

#include <gtest/gtest.h>

#include <array>

#include "depuracion_casos.h"
#include "util/idn.h"

namespace tralmix {
namespace {

TEST(Depuracion, EntriesBecomeTheAddressesInside) {
    EXPECT_EQ(prueba::fallosDepuracion(), "");
}

// The check takes an address as it stands: nothing is taken off, letters may be capitals.
TEST(EsEnviable, TakesTheAddressAsItStands) {
    const std::vector<std::pair<std::string, bool>> casos = {
        {"ana@example.com", true},
        {"Ana@EXAMPLE.com", true},
        {"ANA@ÑANDÚ.ES", true},
        {"<ana@example.com>", false},
        {"ana@example.com.", false},
        {" ana@example.com", false},
        {"mailto:ana@example.com", false},
        {"ana@example.com ", false},
        {"ana", false},
        {"", false},
    };
    for (const auto& [direccion, esperado] : casos) {
        EXPECT_EQ(esEnviable(direccion), esperado) << direccion;
    }
}

TEST(Punycode, DecodesOrRefuses) {
    const std::vector<std::pair<std::string, std::optional<std::u32string>>> casos = {
        {"and-6ma2c", U"ñandú"},
        {"espaa-rta", U"españa"},
        {"-a-yja", U"ñ-a"},
        {"wgv71a119e", U"日本語"},
        {"ls8h", U"\U0001F4A9"},
        {"AND-6MA2C", U"ñANDú"},        // digits in either case; the basic letters keep theirs
        {"and-6ma2", std::nullopt},     // cut short
        {"99999999999", std::nullopt},  // past every code point
        {"a!b", std::nullopt},
        {"\xC3\xB1-ida", std::nullopt},  // a basic code point beyond ASCII
        {"-", std::nullopt},
    };
    for (const auto& [codigo, esperado] : casos) {
        std::array<char32_t, idn::kMaxEtiqueta> salida{};
        const auto n = idn::decodificarPunycode(codigo, salida);
        ASSERT_EQ(n.has_value(), esperado.has_value()) << codigo;
        if (n) {
            EXPECT_EQ(std::u32string(salida.data(), *n), *esperado) << codigo;
        }
    }
    std::array<char32_t, 4> corta{};
    EXPECT_FALSE(idn::decodificarPunycode("and-6ma2c", corta));
}

}  // namespace
}  // namespace tralmix
