#include "extract/masivo.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "extract/cubo.h"
#include "extract/resultado.h"
#include "puerto_falso.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix {
namespace {

using V = std::vector<std::u16string>;

// What the bulk path keeps from a text, before repeats are blanked: position 0 empty, then the
// accepted words in text order.
V extraer(std::u16string texto) {
    texto += u"\r\n";
    texto::minusculasEnSitio(texto);
    normalizarMasivo(texto);
    V lineas = {u"stale"};
    extraerDirecciones(texto, lineas);
    return lineas;
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
    };
    for (const auto& c : casos) {
        EXPECT_EQ(extraer(c.texto), c.esperado) << c.que;
    }
    std::u16string finDeTexto = u"x@y.comadd";
    normalizarMasivo(finDeTexto);
    EXPECT_EQ(finDeTexto, u"x@y.com ");
}

TEST(Masivo, DuplicatePassKeepsTheFirstPlace) {
    V lineas = {u"", u"b@x", u"a@x", u"b@x", u"c@x", u"a@x", u"b@x"};
    V copia;
    quitarRepetidos(lineas, copia);
    EXPECT_EQ(lineas, (V{u"", u"b@x", u"a@x", u"", u"c@x", u"", u""}));
    EXPECT_EQ(copia, (V{u"", u"b@x", u"a@x", u"b@x", u"c@x", u"a@x", u"b@x"}));
    V vacio;
    quitarRepetidos(vacio, copia);
    EXPECT_TRUE(vacio.empty());
    EXPECT_TRUE(copia.empty());
}

class MasivoRun : public ::testing::Test {
  protected:
    prueba::CarpetaTemporal dir;
    prueba::PuertoFalso puerto;
    Estado estado;
    Desenlace correr(std::string_view bytes) {
        estado.archivoEntrada = archivos::desdeRuta(dir.escribir("Correo.txt", bytes));
        puerto.resultado = dir.u16();
        estado.lineas = {u"working", u"file"};
        return masivo(estado, puerto);
    }
    std::string lista() const { return prueba::leer(dir.ruta() / "Mails_20050305.txt"); }
};

TEST_F(MasivoRun, ReadsTheChosenFileAgainDeduplicatesAndSorts) {
    const auto d = correr(
        "De: Ana <ana@example.com>\r\nPara: bo@example.com; ANA@example.com\r\n"
        "CC: (zoe@example.com), carla@example.com\nasunto: hola\r");
    EXPECT_EQ(d, Desenlace::Escrito);
    EXPECT_EQ(estado.lineas, (V{u"", u"", u"ana@example.com", u"bo@example.com",
                                u"carla@example.com", u"zoe@example.com"}));
    EXPECT_EQ(estado.copiaLineas.size(), 6u);
    EXPECT_EQ(
        lista(),
        "ana@example.com\r\n\r\nbo@example.com, carla@example.com, zoe@example.com\r\n\r\n\r\n");
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"Ya puede enviar Mails masivos  :)"),
              std::u16string::npos);
    EXPECT_EQ(puerto.caja, u"");
    EXPECT_EQ(puerto.abiertos.size(), 1u);
}

TEST_F(MasivoRun, NoAddressGivesAnEmptyListAllTheSame) {
    EXPECT_EQ(correr("Hola, que tal; nada por aqui\r\n"), Desenlace::Escrito);
    EXPECT_TRUE(estado.lineas.empty());
    EXPECT_EQ(lista(), "");
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Informacion);
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
    EXPECT_EQ(masivo(estado, puerto), Desenlace::FalloArchivo);
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Critico);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"gone.txt"), std::u16string::npos);
    EXPECT_TRUE(puerto.abiertos.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.ruta() / "Mails_20050305.txt"));
}

// Pieces of pasted messages that the table and the word scan care about, in several letter cases
// and with every kind of line end.
std::vector<std::u16string> piezasDeMensajes() {
    std::vector<std::u16string> p = {u"De:",
                                     u"FROM:",
                                     u"a:",
                                     u"Fecha:",
                                     u"asunto:",
                                     u"Subject:",
                                     u"TO:",
                                     u"date:",
                                     u"enviado:",
                                     u"Fw:",
                                     u"cc:",
                                     u"CCO:",
                                     u"<",
                                     u">",
                                     u"\"",
                                     u":",
                                     u"add",
                                     u"Add",
                                     u"ADD",
                                     u"sender to contacts",
                                     u"Sender To Contacts",
                                     u",",
                                     u";",
                                     u"\r\n",
                                     u"\r",
                                     u"\n",
                                     u" ",
                                     u"  ",
                                     u"\t",
                                     u".html",
                                     u".HTM",
                                     u"(",
                                     u")",
                                     u"@",
                                     u"ana@x.org",
                                     u"MADDIE@EX.COM",
                                     u"[mailto:",
                                     u"]",
                                     u"İ",
                                     u"Σ",
                                     u"é",
                                     u"ß",
                                     u"\U0001F600",
                                     u"www.",
                                     u"x",
                                     u"h",
                                     u"tml"};
    for (std::size_t n = 1; n <= 22; ++n) {
        p.push_back(std::u16string(n, u'.'));
        p.push_back(std::u16string(n, u'-'));
    }
    return p;
}

// The literal bulk extraction: the whole text, every line followed by CR LF, lower-cased,
// rewritten row by row and cut into words.
V extraccionLiteral(std::string_view bytes) {
    const std::u16string decodificado = texto::decodificar(bytes);
    std::u16string texto;
    for (const auto linea : texto::lineasDeEntrada(decodificado)) {
        texto += linea;
        texto += u"\r\n";
    }
    texto::minusculasEnSitio(texto);
    normalizarMasivo(texto);
    V lineas;
    extraerDirecciones(texto, lineas);
    return lineas;
}

// Line by line, only the lines with an "@", rows skipped where they cannot match: the same words
// in the same order as the table on the whole text.
TEST(Masivo, LineByLineEqualsTheWholeTextRowByRow) {
    const auto piezas = piezasDeMensajes();
    prueba::Azar azar;
    for (int vuelta = 0; vuelta < 4000; ++vuelta) {
        const std::string bytes = prueba::u8(azar.juntar(piezas, 30));
        const V esperado = extraccionLiteral(bytes);
        PalabrasUtf8 palabras;
        direccionesUtf8(texto::decodificarUtf8(bytes), palabras);
        V obtenido;
        for (std::size_t i = 0; i < palabras.size(); ++i) {
            if (obtenido.empty()) {
                obtenido.emplace_back();
            }
            obtenido.push_back(prueba::u16(palabras[i]));
        }
        ASSERT_EQ(obtenido, esperado) << bytes;
        // Cut just after any line end, part after part gives the same words.
        const std::string texto = texto::decodificarUtf8(bytes);
        for (std::size_t c = 0; c < texto.size(); ++c) {
            if (texto[c] != '\n' &&
                (texto[c] != '\r' || (c + 1 < texto.size() && texto[c + 1] == '\n'))) {
                continue;
            }
            PalabrasUtf8 antes;
            PalabrasUtf8 despues;
            direccionesUtf8(std::string_view(texto).substr(0, c + 1), antes);
            direccionesUtf8(std::string_view(texto).substr(c + 1), despues);
            antes.anexar(despues);
            ASSERT_EQ(antes.bytes, palabras.bytes) << bytes << " cut at " << c;
            ASSERT_EQ(antes.fines, palabras.fines) << bytes << " cut at " << c;
        }
    }
}

// The whole bulk path against the literal steps: the list, the copy and the file's bytes.
TEST_F(MasivoRun, EqualsTheLiteralStepsOnRandomMessages) {
    const auto piezas = piezasDeMensajes();
    prueba::Azar azar(99);
    puerto.resultado = dir.u16();
    for (int vuelta = 0; vuelta < 120; ++vuelta) {
        const std::string bytes = prueba::u8(azar.juntar(piezas, 80));
        V lineas = extraccionLiteral(bytes);
        V copia;
        quitarRepetidos(lineas, copia);
        Cubo(lineas, true);
        estado.lineas = {u"working"};
        ASSERT_EQ(masivoDesdeTexto(estado, puerto, texto::decodificarUtf8(bytes)),
                  Desenlace::Escrito);
        ASSERT_EQ(estado.lineas, lineas) << bytes;
        ASSERT_EQ(estado.copiaLineas, copia) << bytes;
        ASSERT_EQ(lista(), componerLista(lineas)) << bytes;
    }
}

}  // namespace
}  // namespace tralmix
