#include "extract/proceso.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "azar.h"
#include "extract/comolista.h"
#include "extract/limpieza.h"
#include "extract/resultado.h"
#include "puerto_falso.h"
#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/texto.h"

namespace tralmix {
namespace {

using V = std::vector<std::u16string>;
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
        cargarCarpetaTemporal(estado, puerto);
    }
    // The dialog will answer this new input file.
    std::u16string elegir(const std::string& nombre, std::string_view bytes) {
        const auto ruta = archivos::desdeRuta(entrada.escribir(nombre, bytes));
        puerto.respuesta = {true, ruta};
        return ruta;
    }
    std::string lista() const { return prueba::leer(resultado.ruta() / "Mails_20050305.txt"); }
    std::string trabajo(const std::string& nombre) const {
        return prueba::leer(temporal.ruta() / nombre);
    }
};

TEST_F(Proceso, DialogSettings) {
    puerto.respuesta = {false, {}};
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Cancelado);
    ASSERT_EQ(puerto.dialogos.size(), 1u);
    const AjustesDialogo& a = puerto.dialogos[0];
    EXPECT_EQ(a.initialDir, u"/opt/tralmix");
    EXPECT_EQ(a.dialogTitle, u"Abrir");
    EXPECT_EQ(a.filter, u"Txt Files (*.Txt) | *.txt|MSN Files  (*.ctt) | *.ctt");
    EXPECT_EQ(a.filterIndex, 0);
    EXPECT_EQ(a.flags, 12292);
    EXPECT_EQ(a.hWndParent, 0x1234u);
    EXPECT_TRUE(a.abrir);
}

TEST_F(Proceso, TypedPathCheckOnlyWarns) {
    const auto existente = archivos::desdeRuta(entrada.escribir("Lista.TXT", "x@y\r\n"));
    const auto documento = archivos::desdeRuta(entrada.escribir("carta.doc", "x@y\r\n"));
    struct Caso {
        std::u16string caja;
        std::u16string mensaje;  // empty: none
    };
    const std::vector<Caso> casos = {
        {u"", u""},
        {u"    ", u""},
        {existente, u""},  // capitals in the extension pass
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
        // A cancelled dialog: no input, and the box keeps its lower-cased text.
        EXPECT_EQ(estado.archivoEntrada, u"");
        EXPECT_EQ(p.caja, texto::minusculas(c.caja));
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
    EXPECT_EQ(estado.lineas, (V{u"", u"", u"a@example.com", u"b@example.com", u"c@example.com"}));
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"masivos"), std::u16string::npos);
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

// A link planted at the working path: the file it points at is not touched, and the working file
// is made elsewhere, readable by its owner only.
TEST_F(Proceso, PlantedLinkIsNotFollowed) {
    prueba::CarpetaTemporal otra;
    const auto victima = otra.escribir("victima.txt", "precious\r\n");
    fs::create_symlink(victima, temporal.ruta() / "lista.txt");
    elegir("Lista.txt", "x@example.com\r\n");
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
    EXPECT_EQ(prueba::leer(victima), "precious\r\n");
    EXPECT_TRUE(fs::is_symlink(temporal.ruta() / "lista.txt"));
    int trabajos = 0;
    for (const auto& e : fs::directory_iterator(temporal.ruta())) {
        if (e.path().filename().string().starts_with("lista.txt.")) {
            ++trabajos;
            struct stat info {};
            ASSERT_EQ(::lstat(e.path().c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0600u);
            EXPECT_EQ(prueba::leer(e.path()), "x@example.com\r\n");
        }
    }
    EXPECT_EQ(trabajos, 1);
    EXPECT_EQ(lista(), "x@example.com\r\n\r\n");
}

TEST_F(Proceso, EarlierWorkingFileIsReplacedAndMadePrivate) {
    const auto anterior = temporal.escribir("lista.txt", "old content that is longer\r\n");
    ::chmod(anterior.c_str(), 0644);
    elegir("lista.txt", "x@example.com\r\n");
    EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
    EXPECT_EQ(trabajo("lista.txt"), "x@example.com\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(anterior.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
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
    const std::vector<std::pair<std::u16string, std::u16string>> casos = {
        {u"/tmp", u"/tmp/"},
        {u"/tmp/", u"/tmp/"},
        {u"", u"/"},
        {std::u16string(u"/var/tmp\0\0\0", 11), u"/var/tmp/"},
    };
    for (const auto& [dado, esperado] : casos) {
        prueba::PuertoFalso p;
        p.temporal = dado;
        Estado e;
        cargarCarpetaTemporal(e, p);
        EXPECT_EQ(e.carpetaTemporal, esperado);
    }
}

// A long list without "," or ";" is cleaned in two halves at once: the working file and the list
// are those of the literal steps, whatever line end the cut falls on.
TEST_F(Proceso, LongListCleanedInTwoHalvesEqualsTheLiteralSteps) {
    prueba::Azar azar;
    const std::vector<std::string> piezas = {
        "a@x.org", "  ", "B@Y.ES", "www.x", "<contact>", "!", "%", "(c)", "..", "\xC3\xA9", "z"};
    const std::vector<std::string> fines = {"\r\n", "\n", "\r", "\r\n\r\n"};
    for (const std::string& corte : fines) {
        std::string bytes;
        while (bytes.size() < (std::size_t{5} << 18)) {
            bytes += azar.juntar(piezas, 4) + fines[azar.hasta(fines.size())];
            if (bytes.size() > (std::size_t{5} << 17) &&
                bytes.size() < (std::size_t{5} << 17) + 40) {
                bytes += "mitad@x.org" + corte;  // a known line end around the cut
            }
        }
        // The literal steps: every input line trimmed, cleaned and filtered; then the loader
        // and the list path on what was written.
        std::string esperado;
        const std::u16string texto = texto::decodificar(bytes);
        for (const auto linea : texto::lineasDeEntrada(texto)) {
            const std::u16string limpia = limpieza(std::u16string(texto::recortar(linea)));
            if (!texto::recortar(linea).empty() && !limpia.empty() &&
                limpia.find(u"www.") == std::u16string::npos) {
                esperado += texto::aUtf8(limpia) + "\r\n";
            }
        }
        elegir("larga.txt", bytes);
        ASSERT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
        ASSERT_TRUE(trabajo("larga.txt") == esperado);  // megabytes: no diff printed
        prueba::CarpetaTemporal otra;
        prueba::PuertoFalso literal;
        literal.resultado = otra.u16();
        Estado e;
        ASSERT_EQ(cargarArchivo(e.lineas, archivos::desdeRuta(temporal.ruta() / "larga.txt")), u"");
        ASSERT_EQ(comolista(e, literal), Desenlace::Escrito);
        EXPECT_TRUE(estado.lineas == e.lineas);
        EXPECT_TRUE(lista() == prueba::leer(otra.ruta() / "Mails_20050305.txt"));
    }
}

}  // namespace
}  // namespace tralmix
