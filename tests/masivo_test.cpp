#include "extract/masivo.h"
#include "extract/repetidos.h"
#include "extract/resultado.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "extract/cubo.h"
#include "puerto_falso.h"
#include "referencia/literal.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix {
namespace {

using V = literal::Lineas;

// What the bulk path keeps from a text, before repeats are blanked: position 0 empty, then the
// accepted words in text order.
V extraer(std::u16string_view texto) {
    Arreglo lineas;
    extraerDirecciones(prueba::u8(texto), lineas);
    return literal::comoLineas(lineas);
}

struct Caso {
    const char* que;
    std::u16string texto;
    V esperado;
};

TEST(Masivo, WordsThatAreKept) {
    const std::vector<Caso> casos = {
        {"case and brackets", u"De: Ana <ANA@Example.COM>", V{u"", u"ana@example.com"}},
        {"lists", u"To: a@x.org, b@x.org; c@x.org", V{u"", u"a@x.org", u"b@x.org", u"c@x.org"}},
        {"parentheses", u"(a@x.org) ((b@x.org)) c@x.org(casa) (d@x.org",
         V{u"", u"a@x.org", u"d@x.org"}},
        {"last word in parentheses", u"cc: (a@x.org)", V{u"", u"a@x.org"}},
        {"square brackets stay", u"[mailto:a@x.org]", V{u"", u"a@x.org]"}},
        {"no @ gives nothing at all", u"Hola, ¿qué tal?", V{}},
        {"lone @", u"escribe a @ ya", V{u"", u"@"}},
        {"two dots split a word", u"Juan..j@x.org", V{u"", u"j@x.org"}},
        {"eight dots leave one", u"........j@x.org", V{u"", u".j@x.org"}},
        {"seven dots leave none", u".......j@x.org", V{u"", u"j@x.org"}},
        {"eleven dashes leave one", u"-----------j@x.org", V{u"", u"-j@x.org"}},
        {"ten dashes leave none", u"----------j@x.org", V{u"", u"j@x.org"}},
        {"single dot and dash stay", u"ana.maria-luz@x.org", V{u"", u"ana.maria-luz@x.org"}},
        {".html and .htm go, inside addresses too", u"a@x.html b@x.htm", V{u"", u"a@x", u"b@x"}},
        {"tab stays in the word", u"to:\ta@x.org", V{u"", u"\ta@x.org"}},
        {"rows apply in order", u"x@fecha:", V{u"", u"x@fech"}},  // "a:" comes before "fecha:"
        {"quotes", u"\"Ana\"<a@x.org>,\"Bo\" <b@x.org>", V{u"", u"a@x.org", u"b@x.org"}},
        {"repeats stay until the duplicate pass", u"a@x.org A@X.ORG",
         V{u"", u"a@x.org", u"a@x.org"}},
        {"non-ascii lower-cased", u"JOSÉ@EJEMPLO.ES", V{u"", u"josé@ejemplo.es"}},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(extraer(c.texto), c.esperado) << c.que;
    }
}

// Every row of the bulk table has its effect, in both forms: the literal one applies the
// program's own table row by row, so only words written out here catch a mistyped row. Each text
// gives other words without its row (only "fecha:" never shows, "a:" comes first).
TEST(Masivo, EveryRowOfTheTableHasItsEffect) {
    std::vector<Caso> casos = {
        {".html", u"a@x.html", V{u"", u"a@x"}},
        {".htm", u"a@x.htm", V{u"", u"a@x"}},
        {"what the header words leave", u"a@de: b@from: c@asunto: d@subject: e@a: f@to:",
         V{u"", u"a@", u"b@", u"c@", u"d@", u"e@", u"f@"}},
        {"more header words", u"g@date: h@enviado: i@fw: j@cc: k@cco: l@fecha:",
         V{u"", u"g@", u"h@", u"i@", u"j@", u"k@", u"l@fech"}},
        {"separators", u"a@b<c@d>e@f\"g@h:i@j,k@l;m@n\r\no@p",
         V{u"", u"a@b", u"c@d", u"e@f", u"g@h", u"i@j", u"k@l", u"m@n", u"o@p"}},
        {"add", u"x@y.comadd", V{u"", u"x@y.com"}},
        {"sender to contacts", u"x@sender to contacts", V{u"", u"x@"}},
    };
    // A run of two to seven dots, or two to ten dashes, is one space.
    for (std::size_t n = 2; n <= 10; ++n) {
        if (n <= 7) {
            casos.push_back(
                {"dots", u"a@b" + std::u16string(n, u'.') + u"c@d", V{u"", u"a@b", u"c@d"}});
        }
        casos.push_back(
            {"dashes", u"a@b" + std::u16string(n, u'-') + u"c@d", V{u"", u"a@b", u"c@d"}});
    }
    for (const auto& c : casos) {
        EXPECT_EQ(extraer(c.texto), c.esperado) << c.que << " " << prueba::u8(c.texto);
        EXPECT_EQ(literal::extraerDirecciones(c.texto), c.esperado) << c.que;
    }
}

// "add" is cut only where it ends a word: the link text glued after an address goes, names that
// hold the letters stay whole (the literal table turned maddie@… into ie@…).
TEST(Masivo, AddIsCutOnlyAtTheEndOfAWord) {
    const std::vector<Caso> casos = {
        {"name with add", u"maddie@example.com", V{u"", u"maddie@example.com"}},
        {"add at start", u"addison@example.com", V{u"", u"addison@example.com"}},
        {"domain with add", u"x@ladder.example.com", V{u"", u"x@ladder.example.com"}},
        {"glued link", u"juan@example.comAdd sender to contacts", V{u"", u"juan@example.com"}},
        {"glued link without space", u"juan@example.comAddsender to contacts",
         V{u"", u"juan@example.com"}},
        {"before comma", u"juan@example.comadd, ana@example.com",
         V{u"", u"juan@example.com", u"ana@example.com"}},
        {"before semicolon", u"juan@example.comadd;ana@example.com",
         V{u"", u"juan@example.com", u"ana@example.com"}},
        {"before tab", u"juan@example.comadd\tx", V{u"", u"juan@example.com"}},
        {"end of a line", u"juan@example.comadd\r\nana@example.com",
         V{u"", u"juan@example.com", u"ana@example.com"}},
        {"end of the text", u"x@y.comadd", V{u"", u"x@y.com"}},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(extraer(c.texto), c.esperado) << c.que;
    }
}

// Sorted, then each address kept once: what blanking every later repeat and then sorting gives;
// a copy taken before (it shares the texts) keeps every word.
TEST(Masivo, DuplicatePassAsTheLiteralOne) {
    const V palabras = {u"", u"b@x", u"a@x", u"b@x", u"c@x", u"a@x", u"b@x"};
    V literalmente = palabras;
    literal::quitarRepetidos(literalmente);
    literal::Cubo(literalmente, true);
    Arreglo lineas = literal::comoArreglo(palabras);
    const Arreglo copia = lineas;
    Cubo(lineas, true);
    quitarRepetidos(lineas);
    EXPECT_EQ(literal::comoLineas(lineas), (V{u"", u"", u"", u"", u"a@x", u"b@x", u"c@x"}));
    EXPECT_EQ(literal::comoLineas(lineas), literalmente);
    EXPECT_EQ(literal::comoLineas(copia), palabras);
    Arreglo vacio;
    quitarRepetidos(vacio);
    EXPECT_TRUE(vacio.empty());
}

class MasivoRun : public ::testing::Test {
  protected:
    prueba::CarpetaTemporal dir;
    prueba::PuertoFalso puerto;
    Estado estado;
    Desenlace correr(std::string_view bytes) {
        estado.archivoEntrada = archivos::desdeRuta(dir.escribir("Correo.txt", bytes));
        puerto.resultado = dir.u16();
        puerto.preparar(estado);
        estado.lineas = literal::comoArreglo({u"working", u"file"});
        if (auto fallo = masivo(estado, puerto, primera())) {
            return informar(puerto, std::move(fallo));
        }
        return ordenarYEscribir(estado, puerto, Camino::Masivo);
    }
    std::string lista() const { return prueba::leer(dir.ruta() / "Mails_20050305.txt"); }
    // What the run's first reading found.
    Trabajo primera() const {
        Trabajo t;
        archivos::Lector l;
        if (!l.abrir(estado.archivoEntrada)) {
            t.entrada = l.huella();
        }
        t.utf8 = true;
        return t;
    }
};

TEST_F(MasivoRun, ReadsTheChosenFileAgainDeduplicatesAndSorts) {
    const auto d = correr(
        "De: Ana <ana@example.com>\r\nPara: bo@example.com; ANA@example.com\r\n"
        "CC: (zoe@example.com), carla@example.com\nasunto: hola\r");
    EXPECT_EQ(d, Desenlace::Escrito);
    EXPECT_EQ(literal::comoLineas(estado.lineas),
              (V{u"", u"", u"ana@example.com", u"bo@example.com", u"carla@example.com",
                 u"zoe@example.com"}));
    EXPECT_EQ(
        lista(),
        "ana@example.com\r\n\r\nbo@example.com, carla@example.com, zoe@example.com\r\n\r\n\r\n");
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"Ya puede enviar Mails masivos  :)"),
              std::u16string::npos);
    EXPECT_EQ(puerto.caja, u"");
    EXPECT_EQ(puerto.abiertos.size(), 1u);
}

// Without any address no list is written (the literal run wrote an empty one and told the user
// to send mail with it).
TEST_F(MasivoRun, NoAddressWritesNoList) {
    EXPECT_EQ(correr("Hola, que tal; nada por aqui\r\n"), Desenlace::Rechazado);
    EXPECT_TRUE(estado.lineas.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.ruta() / "Mails_20050305.txt"));
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Exclamacion);
    EXPECT_TRUE(puerto.abiertos.empty());
}

TEST_F(MasivoRun, MoreThan32766WordsAreAllKept) {
    std::string texto;
    for (int i = 0; i < 40000; ++i) {
        texto += "u" + std::to_string(i) + "@example.com, ";
    }
    ASSERT_EQ(correr(texto), Desenlace::Escrito);
    EXPECT_EQ(estado.lineas.size(), 40001u);
    const std::string salida = lista();
    EXPECT_NE(salida.find("u39999@example.com"), std::string::npos);
    EXPECT_NE(salida.find("u0@example.com"), std::string::npos);
}

TEST_F(MasivoRun, InputGoneBeforeTheSecondReadIsReported) {
    estado.archivoEntrada = dir.u16() + u"/gone.txt";
    puerto.resultado = dir.u16();
    puerto.preparar(estado);
    EXPECT_EQ(informar(puerto, masivo(estado, puerto, Trabajo{})), Desenlace::FalloArchivo);
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Critico);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"gone.txt"), std::u16string::npos);
    EXPECT_TRUE(puerto.abiertos.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.ruta() / "Mails_20050305.txt"));
}

// Line by line, only the lines with an "@", rows skipped where they cannot match: the same words
// in the same order as the table on the whole text; and a text cut just after any line end gives,
// part after part, the words of the whole.
TEST(Masivo, LineByLineEqualsTheWholeTextRowByRow) {
    const auto piezas = prueba::piezasDeMensajes();
    prueba::Azar azar;
    for (int vuelta = 0; vuelta < 3000; ++vuelta) {
        const std::string texto = texto::decodificarUtf8(azar.juntar(piezas, 30));
        const std::u16string ancho = prueba::u16(texto);
        std::u16string mensajes;
        for (const auto linea : literal::lineasDeEntrada(ancho)) {
            mensajes += std::u16string(linea) + u"\r\n";
        }
        const V esperado = literal::extraerDirecciones(mensajes);
        Arreglo todo;
        extraerDirecciones(texto, todo);
        ASSERT_EQ(literal::comoLineas(todo), esperado) << prueba::visible(texto);
        for (std::size_t c = 0; c < texto.size(); ++c) {
            if (texto[c] != '\n' &&
                (texto[c] != '\r' || (c + 1 < texto.size() && texto[c + 1] == '\n'))) {
                continue;
            }
            Arreglo partes;
            extraerDirecciones(std::string_view(texto).substr(0, c + 1), partes);
            extraerDirecciones(std::string_view(texto).substr(c + 1), partes);
            ASSERT_TRUE(partes == todo) << prueba::visible(texto) << " cut at " << c;
        }
    }
}

}  // namespace
}  // namespace tralmix
