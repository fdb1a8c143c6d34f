#include "extract/resultado.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "puerto_falso.h"
#include "referencia/literal.h"
#include "util/cadenas.h"

namespace tralmix {
namespace {

using V = literal::Lineas;

std::string componer(const V& lineas) {
    std::string todo;
    EXPECT_TRUE(componerLista(literal::comoArreglo(lineas), [&](std::string_view t, std::size_t) {
        todo += t;
        return true;
    }));
    return todo;
}

// a1..aN as the sorted list hands them to the writer.
V direcciones(int n, int vacias = 0) {
    V v(static_cast<std::size_t>(vacias));
    for (int i = 1; i <= n; ++i) {
        v.push_back(u"a" + prueba::u16(std::to_string(i)));
    }
    return v;
}

std::string unidas(int desde, int hasta) {
    std::string s;
    for (int i = desde; i <= hasta; ++i) {
        s += "a" + std::to_string(i) + (i < hasta ? ", " : "");
    }
    return s;
}

TEST(ComponerLista, GroupsOf48) {
    const std::string grupo1 = "a1\r\n\r\n" + unidas(2, 48) + "\r\n\r\n\r\n";
    const std::string grupo2 = "a49\r\n\r\n" + unidas(50, 96) + "\r\n\r\n\r\n";
    const std::vector<std::pair<int, std::string>> casos = {
        {0, ""},
        {1, "a1\r\n\r\n"},
        {2, "a1\r\n\r\na2\r\n\r\n\r\n"},
        {3, "a1\r\n\r\na2, a3\r\n\r\n\r\n"},
        {48, grupo1},
        {49, grupo1 + "a49\r\n\r\n"},
        {50, grupo1 + "a49\r\n\r\na50\r\n\r\n\r\n"},
        {96, grupo1 + grupo2},
        {97, grupo1 + grupo2 + "a97\r\n\r\n"},
    };
    for (const auto& [n, esperado] : casos) {
        EXPECT_EQ(componer(direcciones(n)), esperado) << n << " addresses";
        // Blank elements before the addresses change nothing.
        EXPECT_EQ(componer(direcciones(n, 3)), esperado) << n << " addresses after blanks";
    }
}

TEST(ComponerLista, SpacesAndTheLastIndex) {
    // Trimmed when it opens a group, as stored on a joined line.
    EXPECT_EQ(componer(V{u"  x@y  ", u" p@q", u"r@s"}), "x@y\r\n\r\n p@q, r@s\r\n\r\n\r\n");
    // The last index holds only spaces: it is skipped and the separator before it removed.
    EXPECT_EQ(componer(V{u"a", u"b", u"c", u"   "}), "a\r\n\r\nb, c\r\n\r\n\r\n");
    // An element of spaces only, elsewhere, is written nowhere.
    EXPECT_EQ(componer(V{u"a", u"  ", u"b"}), "a\r\n\r\nb\r\n\r\n\r\n");
    EXPECT_EQ(componer(V{u"josé@example.com"}), "jos\xC3\xA9@example.com\r\n\r\n");
}

// The layout equals the literal one across group ends, with blank, spaced and non-ASCII elements
// anywhere, the last index included, and on lists written in many pieces.
TEST(ComponerLista, EqualsTheLiteralLayout) {
    prueba::Azar azar;
    const V piezas = {u"", u"   ", u"a@x", u" b@y ", u"josé@x", u"\U0001F600@z", u"c@w ,"};
    for (int vuelta = 0; vuelta < 401; ++vuelta) {
        V lineas(vuelta == 400 ? 200000 : azar.hasta(150));
        for (auto& e : lineas) {
            e = piezas[azar.hasta(piezas.size())];
        }
        ASSERT_TRUE(componer(lineas) == literal::componerLista(lineas)) << vuelta;
    }
    // 100,000 = 48 x 2,083 + 16: the last group opens with a99985 and holds 16 addresses.
    EXPECT_TRUE(
        componer(direcciones(100000))
            .ends_with("\r\n\r\n\r\na99985\r\n\r\n" + unidas(99986, 100000) + "\r\n\r\n\r\n"));
}

// Other group sizes and separators keep the layout: the first address alone, the rest of the
// group joined; a blank last element leaves no separator behind.
TEST(ComponerLista, GroupSizeAndSeparator) {
    struct Caso {
        std::size_t porGrupo;
        std::string_view separador;
        V lineas;
        std::string esperado;
    };
    const std::vector<Caso> casos = {
        {1, ", ", direcciones(3), "a1\r\n\r\na2\r\n\r\na3\r\n\r\n"},
        {2, ", ", direcciones(3), "a1\r\n\r\na2\r\n\r\n\r\na3\r\n\r\n"},
        {3, "; ", direcciones(4), "a1\r\n\r\na2; a3\r\n\r\n\r\na4\r\n\r\n"},
        {4, "; ", V{u"a", u"b", u"c", u" "}, "a\r\n\r\nb; c\r\n\r\n\r\n"},
        {4, " | ", V{u"a", u"b", u"c", u" "}, "a\r\n\r\nb | c\r\n\r\n\r\n"},
        {48, ";", V{u"a", u"b", u"c"}, "a\r\n\r\nb;c\r\n\r\n\r\n"},
    };
    for (const Caso& c : casos) {
        std::string todo;
        componerLista(
            literal::comoArreglo(c.lineas),
            [&](std::string_view t, std::size_t) {
                todo += t;
                return true;
            },
            c.porGrupo, c.separador);
        EXPECT_EQ(todo, c.esperado) << c.porGrupo << " '" << c.separador << "'";
    }
}

TEST(RutaResultado, DateWithTwoDigitMonthAndDay) {
    const std::u16string s(1, kSeparador);
    EXPECT_EQ(rutaResultado(u"/home/ana", Fecha{2005, 3, 5}),
              u"/home/ana" + s + u"Mails_20050305.txt");
    EXPECT_EQ(rutaResultado(u"/home/ana/", Fecha{2006, 2, 1}), u"/home/ana/Mails_20060201.txt");
    EXPECT_EQ(rutaResultado(u"C:\\r\\", Fecha{2005, 11, 12}), u"C:\\r\\Mails_20051112.txt");
    // Four digits always, so that a name never reads as another date.
    EXPECT_EQ(rutaResultado(u"/r", Fecha{987, 12, 31}), u"/r" + s + u"Mails_09871231.txt");
    EXPECT_EQ(rutaResultado(u"/r", Fecha{1, 1, 1}), u"/r" + s + u"Mails_00010101.txt");
}

class Etapa : public ::testing::Test {
  protected:
    prueba::CarpetaTemporal dir;
    prueba::PuertoFalso puerto;
    Estado estado;
    void SetUp() override {
        puerto.resultado = dir.u16();
        puerto.preparar(estado);
        puerto.caja = u"/algo/entrada.txt";
        estado.lineas = literal::comoArreglo({u"", u"a@b", u"c@d"});
        estado.archivoEntrada = u"/algo/entrada.txt";
    }
    std::filesystem::path destino() const { return dir.ruta() / "Mails_20050305.txt"; }
};

// A list the desktop could not open is still written and announced; the box that follows says
// why, in the opener's words.
TEST_F(Etapa, AListTheDesktopCannotOpenIsToldWithTheReason) {
    puerto.noAbre = u"no hay ningún programa para abrirlo en este escritorio";
    EtapaResultado etapa;
    ASSERT_FALSE(etapa.preparar(estado));
    EXPECT_EQ(informar(puerto, etapa.terminar(estado, puerto, kCierreLista)), Desenlace::Escrito);
    ASSERT_EQ(puerto.mensajes.size(), 2u);
    EXPECT_EQ(puerto.mensajes[1].texto,
              u"No se pudo abrir:\r\n" + etapa.ruta() +
                  u"\r\n\r\nMotivo: no hay ningún programa para abrirlo en este escritorio");
    EXPECT_EQ(puerto.mensajes[1].estilo, Estilo::Exclamacion);
}

TEST_F(Etapa, AnnouncesOpensAndEmptiesTheBox) {
    EtapaResultado etapa;
    ASSERT_FALSE(etapa.preparar(estado));
    EXPECT_EQ(informar(puerto, etapa.terminar(estado, puerto, kCierreLista)), Desenlace::Escrito);
    EXPECT_EQ(prueba::leer(destino()), "a@b\r\n\r\nc@d\r\n\r\n\r\n");
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].texto, u"Se ha creado el archivo:\r\n" +
                                            rutaResultado(puerto.resultado, puerto.fecha) +
                                            u"\r\n\r\nYa puede enviar Mails a toda es lista  :)");
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Informacion);
    EXPECT_EQ(puerto.mensajes[0].titulo, u"Messenger Add-in");
    EXPECT_EQ(puerto.abiertos, V{etapa.ruta()});
    EXPECT_EQ(puerto.caja, u"");
    // Only the list is left in the folder: the temporary name is gone.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.ruta()), {}), 1);
}

TEST_F(Etapa, SecondRunTheSameDayReplacesTheFirst) {
    dir.escribir("Mails_20050305.txt", "earlier list\r\n");
    EtapaResultado etapa;
    ASSERT_FALSE(etapa.preparar(estado));
    EXPECT_EQ(informar(puerto, etapa.terminar(estado, puerto, kCierreMasivo)), Desenlace::Escrito);
    EXPECT_EQ(prueba::leer(destino()), "a@b\r\n\r\nc@d\r\n\r\n\r\n");
}

// A list that cannot be written is not announced nor opened, and an earlier one survives.
TEST_F(Etapa, UnwritableFolderIsReportedNotAnnounced) {
    const auto archivoNormal = dir.escribir("no-es-carpeta", "x");
    puerto.resultado = archivos::desdeRuta(archivoNormal);
    puerto.preparar(estado);
    EtapaResultado etapa;
    EXPECT_EQ(informar(puerto, etapa.preparar(estado)), Desenlace::FalloArchivo);
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Critico);
    EXPECT_EQ(puerto.mensajes[0].titulo, u"Messenger Add-in");
    EXPECT_EQ(puerto.mensajes[0].texto.rfind(u"No se pudo crear el archivo:\r\n" +
                                                 rutaResultado(puerto.resultado, puerto.fecha) +
                                                 u"\r\n\r\nMotivo: ",
                                             0),
              0u);
    EXPECT_TRUE(puerto.abiertos.empty());
    EXPECT_EQ(puerto.caja, u"/algo/entrada.txt");
}

// No address survived: nothing is written, an earlier list stays, and the user is told which
// file gave none.
TEST_F(Etapa, NoAddressWritesNoList) {
    dir.escribir("Mails_20050305.txt", "earlier list\r\n");
    estado.lineas = literal::comoArreglo({u"", u"   ", u""});
    EtapaResultado etapa;
    ASSERT_FALSE(etapa.preparar(estado));
    EXPECT_EQ(informar(puerto, etapa.terminar(estado, puerto, kCierreLista)), Desenlace::Rechazado);
    EXPECT_EQ(prueba::leer(destino()), "earlier list\r\n");
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].texto,
              u"No se encontraron direcciones en el archivo:\r\n/algo/entrada.txt");
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Exclamacion);
    EXPECT_EQ(puerto.mensajes[0].titulo, u"Messenger Add-in");
    EXPECT_TRUE(puerto.abiertos.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.ruta()), {}), 1);
}

}  // namespace
}  // namespace tralmix
