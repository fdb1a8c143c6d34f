// What the registry keeps of "Opciones de la lista…" from one start of the window to the next,
// under a key of the tests' own.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/opciones_win.h"

namespace tralmix {
namespace {

constexpr wchar_t kClavePrueba[] = L"Software\\Tralmix\\Pruebas de opciones";

TEST(OpcionesWin, ANewUserHasNoneAndWhatIsKeptComesBackAsItWas) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kClavePrueba);
    const OpcionesVentana nuevo = leerOpcionesGuardadas(kClavePrueba);
    EXPECT_EQ(nuevo.lista.porGrupo, 48u);
    EXPECT_EQ(nuevo.lista.separador, ", ");
    EXPECT_TRUE(nuevo.exclusiones.empty());
    EXPECT_FALSE(nuevo.depurar);
    EXPECT_FALSE(nuevo.siempreResumen);

    const auto opciones = [](std::size_t porGrupo, const char* separador,
                             std::vector<std::u16string> exclusiones, bool depurar,
                             bool siempreResumen) {
        OpcionesVentana o;
        o.lista.porGrupo = porGrupo;
        o.lista.separador = separador;
        o.exclusiones = std::move(exclusiones);
        o.depurar = depurar;
        o.siempreResumen = siempreResumen;
        return o;
    };
    struct Caso {
        const char* que;
        OpcionesVentana guardadas;
    };
    const std::vector<Caso> casos = {
        // A file that no longer exists is kept: the run says it cannot read it.
        {"two files, one gone, both checks",
         opciones(12, " | ", {u"C:\\no\\existe\\bajas.txt", u"Z:\\casa\\Ñandú 名单.vcf"}, true,
                  true)},
        {"a single file, the clean-up alone", opciones(48, ", ", {u"C:\\bajas.txt"}, true, false)},
        {"the list emptied again", opciones(48, ", ", {}, false, false)},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        guardarOpciones(c.guardadas, kClavePrueba);
        const OpcionesVentana leidas = leerOpcionesGuardadas(kClavePrueba);
        EXPECT_EQ(leidas.lista.porGrupo, c.guardadas.lista.porGrupo);
        EXPECT_EQ(leidas.lista.separador, c.guardadas.lista.separador);
        EXPECT_EQ(leidas.exclusiones, c.guardadas.exclusiones);
        EXPECT_EQ(leidas.depurar, c.guardadas.depurar);
        EXPECT_EQ(leidas.siempreResumen, c.guardadas.siempreResumen);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kClavePrueba);
}

}  // namespace
}  // namespace tralmix
