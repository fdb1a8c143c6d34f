#include "extract/proceso.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "extract/trabajo.h"
#include "puerto_falso.h"
#include "referencia/literal.h"
#include "util/afinado.h"
#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/cargador.h"
#include "util/texto.h"

namespace tralmix {
namespace {

using V = literal::Lineas;
namespace fs = std::filesystem;

class Proceso : public ::testing::Test {
  protected:
    prueba::CarpetaTemporal entrada;
    prueba::CarpetaTemporal temporal;
    prueba::CarpetaTemporal resultado;
    prueba::PuertoFalso puerto;
    Estado estado;

    void SetUp() override {
        puerto.temporal = temporal.u16();
        puerto.resultado = resultado.u16();
        puerto.preparar(estado);
    }
    // The dialog will answer this new input file.
    std::u16string elegir(const std::string& nombre, std::string_view bytes) {
        auto ruta = archivos::desdeRuta(entrada.escribir(nombre, bytes));
        puerto.respuesta = {true, ruta};
        return ruta;
    }
    std::string lista() const { return prueba::leer(resultado.ruta() / "Mails_20050305.txt"); }
    std::string trabajo(const std::string& nombre) const {
        return prueba::leer(temporal.ruta() / nombre);
    }
};

// The list path takes the working file's lines as it writes them: exactly what loading the file
// it wrote gives, whatever the line ends, the encoding (read again from the start when a late
// byte is no UTF-8), blank and skipped lines; pasted messages leave nothing, nor does an input
// whose lines are all skipped.
TEST_F(Proceso, LinesTakenWhileWritingAreTheWorkingFilesLines) {
    std::string largo;
    while (largo.size() < 3 * afinado::kTrozo) {
        largo += "  u" + std::to_string(largo.size()) + "@example.com!\n\r\n";
    }
    const std::vector<std::string> entradas = {
        "a@b.com\r\n\r\n  c@d.org  \rwww.x@y.z\n\"e\"@f.net",
        "\xEF\xBB\xBFjos\xC3\xA9@x.es\n",
        std::string("\xFF\xFE"
                    "a\0@\0b\0\r\0\n\0",
                    12),             // UTF-16
        largo + "caf\xE9@x.es\r\n",  // Windows-1252, seen only at the end
        "   \r\n!!!\r\n",            // every line skipped
        "x@y.com\r\nDe: a@b.com, c@d.com\r\ne@f.com\r\n",
    };
    for (const std::string& bytes : entradas) {
        estado.archivoEntrada = archivos::desdeRuta(entrada.escribir("entrada.txt", bytes));
        archivos::ArchivoTrabajo archivo;
        Arreglo lineas = literal::comoArreglo({u"antes"});
        const Trabajo t = escribirTrabajo(estado, puerto, archivo, {}, &lineas);
        ASSERT_FALSE(t.fallo);
        ASSERT_FALSE(archivo.cerrar());
        Arreglo cargadas;
        ASSERT_FALSE(cargarLineas(cargadas, t.ruta));
        EXPECT_TRUE(literal::comoLineas(lineas) == (t.masivo ? V{} : literal::comoLineas(cargadas)))
            << prueba::visible(bytes.substr(0, 80));
    }
}

TEST_F(Proceso, DialogSettings) {
    puerto.respuesta = {false, {}};
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Cancelado);
    ASSERT_EQ(puerto.dialogos.size(), 1u);
    const AjustesDialogo& a = puerto.dialogos[0];
    EXPECT_EQ(a.initialDir, u"/opt/tralmix");
    EXPECT_EQ(a.dialogTitle, u"Abrir");
    EXPECT_EQ(a.filter,
              u"Txt Files (*.Txt) | *.txt|MSN Files  (*.ctt) | *.ctt|Contactos y correos "
              u"(vCard, CSV, LDIF, eml, mbox) | *.vcf;*.vcard;*.csv;*.tsv;*.ldif;*.eml;*.mbox|"
              u"Todos los archivos | *");
    EXPECT_EQ(a.filterIndex, 0);
    EXPECT_EQ(a.flags, 12292);
    EXPECT_EQ(a.hWndParent, 0x1234u);
    EXPECT_TRUE(a.abrir);
}

TEST_F(Proceso, TypedPathCheckOnlyWarns) {
    const auto existente = archivos::desdeRuta(entrada.escribir("Lista.TXT", "x@y\r\n"));
    const auto documento = archivos::desdeRuta(entrada.escribir("carta.doc", "x@y\r\n"));
    const auto tarjeta = archivos::desdeRuta(entrada.escribir("Amigos.VCF", "EMAIL:x@y\r\n"));
    struct Caso {
        std::u16string caja;
        std::u16string mensaje;  // empty: none
    };
    const std::vector<Caso> casos = {
        {u"", u""},
        {u"    ", u""},
        {existente, u""},  // found as typed; capitals in the extension pass
        {tarjeta, u""},    // contacts and mail files too
        {documento, u"El archivo especificado no es valido..."},
        {entrada.u16() + u"/no-existe.txt", u"El archivo especificado no existe..."},
        {u"  zzz  ", u"El archivo especificado no existe..."},
    };
    for (const auto& c : casos) {
        prueba::PuertoFalso p;
        p.caja = c.caja;
        p.respuesta = {false, {}};
        estado.archivoEntrada = u"earlier";
        EXPECT_EQ(cmd_file01_Click(estado, p), Desenlace::Cancelado);
        EXPECT_EQ(p.dialogos.size(), 1u) << "the dialog always follows";
        if (c.mensaje.empty()) {
            EXPECT_TRUE(p.mensajes.empty()) << prueba::u8(c.caja);
        } else {
            ASSERT_EQ(p.mensajes.size(), 1u) << prueba::u8(c.caja);
            EXPECT_EQ(p.mensajes[0].texto, c.mensaje);
            EXPECT_EQ(p.mensajes[0].estilo, Estilo::Exclamacion);
            EXPECT_EQ(p.mensajes[0].titulo, u"Messenger Add-in");
        }
        // A cancelled dialog: no input. The box keeps the text as typed, lower-cased only where
        // names ignore case: lower-casing a path elsewhere names another file.
        EXPECT_EQ(estado.archivoEntrada, u"");
        EXPECT_EQ(p.caja, kNombresSinMayusculas ? texto::minusculas(c.caja) : c.caja);
    }
}

TEST_F(Proceso, ShortNamesAreRefused) {
    for (const std::u16string nombre : {u"abc", u"  ab  ", u"", u"   "}) {
        prueba::PuertoFalso p;
        p.caja = u"algo";
        p.respuesta = {true, nombre};
        estado.archivoEntrada = u"earlier";
        EXPECT_EQ(cmd_file01_Click(estado, p), Desenlace::Rechazado);
        // The typed text warns first; the refusal follows the dialog.
        ASSERT_EQ(p.mensajes.size(), 2u);
        EXPECT_EQ(p.mensajes[0].texto, u"El archivo especificado no existe...");
        EXPECT_EQ(p.mensajes[1].texto, u"Nombre no es valido !");
        EXPECT_EQ(p.mensajes[1].estilo, Estilo::Critico);
        EXPECT_EQ(p.mensajes[1].titulo, u"   Operación cancelada");
        EXPECT_EQ(p.caja, u"");
        EXPECT_EQ(estado.archivoEntrada, u"");
    }
}

TEST_F(Proceso, EmptyInputsEndWithTheirMessage) {
    const std::vector<std::string> vacios = {
        "",
        "\r\n\r\n   \r\n",
        "www.example.com\r\nver www.x.org y a@b\r\n</contactlist>\r\n<messenger>",
    };
    for (const auto& bytes : vacios) {
        prueba::PuertoFalso p;
        p.temporal = puerto.temporal;
        p.resultado = puerto.resultado;
        const auto ruta = archivos::desdeRuta(entrada.escribir("vacio.txt", bytes));
        p.respuesta = {true, ruta};
        EXPECT_EQ(cmd_file01_Click(estado, p), Desenlace::Rechazado);
        ASSERT_EQ(p.mensajes.size(), 1u);
        EXPECT_EQ(p.mensajes[0].texto, u"El archivo esta vacio!\r\nImposible continuar");
        EXPECT_EQ(p.mensajes[0].estilo, Estilo::Exclamacion);
        EXPECT_EQ(p.caja, ruta);
        EXPECT_EQ(estado.archivoEntrada, ruta);
        EXPECT_EQ(trabajo("vacio.txt"), "");  // the working file stays
        EXPECT_FALSE(fs::exists(resultado.ruta() / "Mails_20050305.txt"));
    }
}

TEST_F(Proceso, WorkingFileHoldsTheCleanedLines) {
    elegir("Mezcla.TXT",
           "  ana@example.com  \r\n\r\nwww.sitio.com ana@x\r\nWWW.SITIO.COM b@x\r\n%%\r\n"
           "<contact type=\"1\">Bo@Example.com</contact>\r\ntab\there\rultima@x.org");
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
    EXPECT_EQ(trabajo("mezcla.txt"),
              "ana@example.com\r\nWWW.SITIO.COM b@x\r\n  \r\nBo@Example.com\r\ntab\there\r\n"
              "ultima@x.org\r\n");
    // No "," or ";": the list path, which keeps case and multi-word elements.
    EXPECT_EQ(lista(),
              "Bo@Example.com\r\n\r\nWWW.SITIO.COM b@x, ana@example.com, ultima@x.org\r\n\r\n\r\n");
    EXPECT_EQ(puerto.caja, u"");
}

TEST_F(Proceso, LoneLfEndsALineToo) {
    elegir("lf.txt", "b@example.com\na@example.com\n");
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
    EXPECT_EQ(trabajo("lf.txt"), "b@example.com\r\na@example.com\r\n");
    EXPECT_EQ(lista(), "a@example.com\r\n\r\nb@example.com\r\n\r\n\r\n");
}

TEST_F(Proceso, OneSeparatorSendsTheWholeTextToTheBulkPath) {
    elegir("mix.txt", "B@example.com\r\nc@example.com, a@example.com\r\nb@example.com\r\n");
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
    // Lower-cased and de-duplicated: the bulk path.
    EXPECT_EQ(lista(), "a@example.com\r\n\r\nb@example.com, c@example.com\r\n\r\n\r\n");
    EXPECT_EQ(literal::comoLineas(estado.lineas),
              (V{u"", u"", u"a@example.com", u"b@example.com", u"c@example.com"}));
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"masivos"), std::u16string::npos);
}

// An entry that holds an invisible character (a default-ignorable or a bidirectional control)
// is left out on every path: "wj\u2060@x.com" would show as "wj@x.com".
TEST_F(Proceso, InvisibleCharactersKeepTheirEntryOut) {
    const char* const invisibles[] = {
        "\xE2\x81\xA0",      // U+2060 word joiner
        "\xD8\x9C",          // U+061C Arabic letter mark
        "\xC2\xAD",          // U+00AD soft hyphen
        "\xE1\xA0\x8E",      // U+180E Mongolian vowel separator
        "\xE2\x81\xA2",      // U+2062 invisible times
        "\xF3\xA0\x81\x81",  // U+E0041 tag letter A
        "\xEF\xB8\x8F",      // U+FE0F variation selector
        "\xE3\x85\xA4",      // U+3164 Hangul filler
    };
    for (const char* invisible : invisibles) {
        const std::string w = std::string("wj") + invisible + "@x.com";
        for (const auto& [nombre, bytes] : {
                 std::pair<std::string, std::string>{"lista.txt", "ok@x.com\r\n" + w + "\r\n"},
                 {"correo.txt", "De: ok@x.com, " + w + "; otro" + invisible + "@x.com\r\n"},
                 {"amigos.vcf",
                  "BEGIN:VCARD\r\nEMAIL:" + w + "\r\nEMAIL:ok@x.com\r\nEND:VCARD\r\n"},
             }) {
            SCOPED_TRACE(prueba::visible(bytes));
            elegir(nombre, bytes);
            EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
            EXPECT_EQ(lista(), "ok@x.com\r\n\r\n");
        }
    }
}

TEST_F(Proceso, MoreThan32767LinesAreAllKept) {
    std::string bytes;
    for (int i = 0; i < 40000; ++i) {
        bytes += "u" + std::to_string(100000 + i) + "@example.com\r\n";
    }
    elegir("grande.txt", bytes);
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
    const std::string salida = lista();
    EXPECT_EQ(salida.find("u100000@example.com\r\n\r\n"), 0u);
    EXPECT_NE(salida.find("u139999@example.com"), std::string::npos);
    EXPECT_EQ(estado.lineas.size(), 40001u);
}

// The input lies in the temporary folder under the working file's own name: it is not touched.
TEST_F(Proceso, InputInTheTemporaryFolderIsNotTouched) {
    const std::string contenido = "b@example.com\r\na@example.com\r\n";
    const auto ruta = temporal.escribir("lista.txt", contenido);
    puerto.respuesta = {true, archivos::desdeRuta(ruta)};
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
    EXPECT_EQ(prueba::leer(ruta), contenido);
    EXPECT_EQ(lista(), "a@example.com\r\n\r\nb@example.com\r\n\r\n\r\n");
}

TEST_F(Proceso, FileSystemFailuresAreReported) {
    // Input gone between the dialog and the read.
    puerto.respuesta = {true, entrada.u16() + u"/desaparecido.txt"};
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::FalloArchivo);
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].texto, u"No se pudo leer el archivo:\r\n" + entrada.u16() +
                                            u"/desaparecido.txt\r\n\r\nMotivo: el archivo o la "
                                            u"carpeta no existe");
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Critico);
    EXPECT_EQ(puerto.mensajes[0].titulo, u"Messenger Add-in");

    // A folder chosen as input is refused without reading.
    puerto.mensajes.clear();
    puerto.caja.clear();
    puerto.respuesta = {true, entrada.u16()};
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::FalloArchivo);
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"es una carpeta"), std::u16string::npos);

    // No temporary folder to write in.
    puerto.mensajes.clear();
    puerto.caja.clear();
    estado.carpetaTemporal = temporal.u16() + u"/no/hay/";
    elegir("a.txt", "x@y\r\n");
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::FalloArchivo);
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].texto.rfind(u"No se pudo crear el archivo de trabajo:", 0), 0u);
    EXPECT_TRUE(puerto.abiertos.empty());
}

TEST(CargarCarpetaTemporal, EndsWithASeparator) {
    const std::u16string s(1, kSeparador);
    const std::vector<std::pair<std::u16string, std::u16string>> casos = {
        {u"/tmp", u"/tmp" + s},
        {u"/tmp/", u"/tmp/"},
        {u"C:\\TEMP\\", u"C:\\TEMP\\"},
        {u"", s},
        {std::u16string(u"/var/tmp\0\0\0", 11), u"/var/tmp" + s},
    };
    for (const auto& [dado, esperado] : casos) {
        prueba::PuertoFalso p;
        p.temporal = dado;
        Estado e;
        cargarCarpetaTemporal(e, p.temporal);
        EXPECT_EQ(e.carpetaTemporal, esperado);
    }
}

// No address in the file, on either path: no list replaces the earlier one, and the user is told
// which file gave none.
TEST_F(Proceso, NoAddressLeavesTheEarlierList) {
    resultado.escribir("Mails_20050305.txt", "earlier list\r\n");
    for (const std::string bytes :
         {"Juan Perez (1998)\r\nAna Gomez (2001)\r\n", "Hola, que tal; nada que ver\r\n"}) {
        const auto ruta = elegir("autores.txt", bytes);
        puerto.mensajes.clear();
        EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Rechazado);
        ASSERT_EQ(puerto.mensajes.size(), 1u);
        EXPECT_EQ(puerto.mensajes[0].texto,
                  u"No se encontraron direcciones en el archivo:\r\n" + ruta);
        EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Exclamacion);
        EXPECT_TRUE(puerto.abiertos.empty());
        EXPECT_EQ(lista(), "earlier list\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(resultado.ruta()), {}), 1);
    }
}

// Stopped in any phase of either path, a run ends without a word, writes no list, leaves the
// earlier one and the input as they were; the phases come in the order of the run.
TEST_F(Proceso, StoppedInAnyPhaseWritesNothing) {
    resultado.escribir("Mails_20050305.txt", "earlier list\r\n");
    const std::string lista_ = "b@example.com\r\na@example.com\r\n";
    const std::string mensajes = "De: Ana <ana@example.com>\r\nPara: b@x.org, c@x.org\r\n";
    const std::vector<std::pair<std::string, std::vector<Fase>>> casos = {
        {lista_, {Fase::Limpieza, Fase::Orden, Fase::Escritura}},
        {mensajes, {Fase::Limpieza, Fase::Extraccion, Fase::Orden, Fase::Escritura}},
    };
    for (const auto& [bytes, fases] : casos) {
        prueba::PuertoFalso completo = puerto;
        completo.respuesta = {true, elegir("entrada.txt", bytes)};
        EXPECT_EQ(cmd_file01_Click(estado, completo), Desenlace::Escrito);
        EXPECT_EQ(completo.fases, fases);
        EXPECT_FALSE(completo.haciaAtras);
        resultado.escribir("Mails_20050305.txt", "earlier list\r\n");
        for (const Fase fase : fases) {
            prueba::PuertoFalso p = puerto;
            p.respuesta = completo.respuesta;
            p.cancelarEn = fase;
            EXPECT_EQ(cmd_file01_Click(estado, p), Desenlace::Interrumpido);
            EXPECT_TRUE(p.mensajes.empty());
            EXPECT_TRUE(p.abiertos.empty());
            EXPECT_EQ(p.fases.back(), fase);
            EXPECT_EQ(lista(), "earlier list\r\n");
            EXPECT_EQ(std::distance(fs::directory_iterator(resultado.ruta()), {}), 1);
            EXPECT_EQ(prueba::leer(entrada.ruta() / "entrada.txt"), bytes);
        }
    }
}

// The whole run against the literal steps on random inputs: messages and lists made of the pieces
// the rules care about, in every encoding the run tells apart, some larger than the pieces the
// file is read in. The working file, lineas and the list are the literal ones.
TEST_F(Proceso, EqualsTheLiteralSteps) {
    prueba::Azar azar;
    const auto mensajes = prueba::piezasDeMensajes();
    const std::vector<std::string> lista_ = {
        "a@x.org", "  ",       "B@Y.ES", "www.x", "<contact>", "!",  "%",  "(c)",
        "..",      "\xC3\xA9", "z",      ".html", "\r\n",      "\n", "\r", "\r\n\r\n"};
    for (int vuelta = 0; vuelta < 160; ++vuelta) {
        // One of them large enough to be read in several pieces, and in two parts at once.
        const bool grande = vuelta == 40;
        const auto& piezas = vuelta % 2 == 0 ? mensajes : lista_;
        std::string bytes;
        do {
            bytes += azar.juntar(piezas, 40) + "\r\n";
        } while (grande && bytes.size() < (std::size_t{17} << 18));
        switch (vuelta % 8) {
            case 1:
                bytes.insert(0, "\xEF\xBB\xBF");  // a UTF-8 byte-order mark
                break;
            case 3:
                bytes += "\xE9t\xE9\r\n";  // a late byte that is not UTF-8: Windows-1252
                break;
            case 5: {
                const std::u16string t = prueba::u16(bytes);
                std::string utf16 = "\xFF\xFE";  // UTF-16 with its byte-order mark
                for (const char16_t c : t) {
                    utf16 += static_cast<char>(c & 0xFF);
                    utf16 += static_cast<char>(c >> 8);
                }
                bytes = utf16;
                break;
            }
            default:
                break;
        }
        const literal::Corrida esperada = literal::correr(bytes);
        elegir("azar.txt", bytes);
        resultado.escribir("Mails_20050305.txt", "earlier\r\n");
        const Desenlace d = cmd_file01_Click(estado, puerto);
        ASSERT_TRUE(trabajo("azar.txt") == esperada.trabajo) << "round " << vuelta;
        if (esperada.vacio) {
            ASSERT_EQ(d, Desenlace::Rechazado);
            continue;
        }
        ASSERT_TRUE(literal::comoLineas(estado.lineas) == esperada.lineas) << "round " << vuelta;
        if (esperada.lista.empty()) {
            ASSERT_EQ(d, Desenlace::Rechazado);
            ASSERT_EQ(lista(), "earlier\r\n");
        } else {
            ASSERT_EQ(d, Desenlace::Escrito);
            ASSERT_TRUE(lista() == esperada.lista) << "round " << vuelta;
        }
    }
}

}  // namespace
}  // namespace tralmix
