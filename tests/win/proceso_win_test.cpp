// Whole runs on Windows paths: folders as the system gives them (with a final backslash), an
// input in the temporary folder whose lower-cased name is itself, names in other scripts. The
// lists are the golden ones of the command's tests, byte for byte.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "extract/proceso.h"
#include "puerto_falso.h"
#include "util/archivos.h"

namespace tralmix {
namespace {

namespace fs = std::filesystem;

std::string golden(const std::string& nombre) {
    return prueba::leer(fs::path(TRALMIX_TEST_DATA) / "golden" / nombre);
}

std::size_t cuantos(const fs::path& carpeta) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(carpeta), {}));
}

class ProcesoWindows : public ::testing::Test {
  protected:
    prueba::CarpetaTemporal temporal;
    prueba::CarpetaTemporal resultado;
    prueba::PuertoFalso puerto;
    Estado estado;

    void SetUp() override {
        puerto.temporal = temporal.u16() + u"\\";  // as GetTempPathW gives it
        puerto.resultado = resultado.u16();
        puerto.preparar(estado);
    }
    std::string lista() const { return prueba::leer(resultado.ruta() / "Mails_20050305.txt"); }
};

// "Lista.TXT" in the temporary folder: its working file would be "lista.txt", the same file on
// Windows. The input is read whole and left as it was; the working copy goes beside it.
TEST_F(ProcesoWindows, InputInTheTemporaryFolder) {
    const std::string bytes = golden("list_crlf.input.txt");
    const auto entrada = temporal.escribir("Lista.TXT", bytes);
    ASSERT_EQ(procesarArchivo(estado, puerto, archivos::desdeRuta(entrada)), Desenlace::Escrito);
    EXPECT_EQ(lista(), golden("list_crlf.expected"));
    EXPECT_EQ(prueba::leer(entrada), bytes);
    EXPECT_TRUE(fs::exists(temporal.ruta() / "lista (2).txt"));
    EXPECT_EQ(cuantos(temporal.ruta()), 2u);
    ASSERT_EQ(puerto.abiertos.size(), 1u);
}

TEST_F(ProcesoWindows, NamesInGreekAndChinese) {
    prueba::CarpetaTemporal entradas;
    const fs::path carpeta = entradas.ruta() / archivos::aRuta(u"Ελληνικά 中文");
    fs::create_directory(carpeta);
    const auto entrada = carpeta / archivos::aRuta(u"Λίστα 名单.ctt");
    {
        const std::string bytes = golden("ctt_utf8.input.ctt");
        std::ofstream(entrada, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const std::u16string ruta = archivos::desdeRuta(entrada);
    ASSERT_EQ(procesarArchivo(estado, puerto, ruta), Desenlace::Escrito);
    EXPECT_EQ(lista(), golden("ctt_utf8.expected"));
    EXPECT_EQ(estado.archivoEntrada, ruta);
    // The working file carries the input's name, lower-cased.
    EXPECT_TRUE(fs::exists(temporal.ruta() / archivos::aRuta(u"λίστα 名单.ctt")));
}

// The bulk path reads the input again and writes through the same helpers.
TEST_F(ProcesoWindows, PastedMessagesGiveTheGoldenList) {
    for (const std::string nombre : {"bulk_es", "bulk_en", "ctt_amp_bulk"}) {
        const std::string ext = nombre == "ctt_amp_bulk" ? ".input.ctt" : ".input.txt";
        const auto entrada = temporal.escribir(nombre + ext, golden(nombre + ext));
        ASSERT_EQ(procesarArchivo(estado, puerto, archivos::desdeRuta(entrada)), Desenlace::Escrito)
            << nombre;
        EXPECT_EQ(lista(), golden(nombre + ".expected")) << nombre;
    }
}

// A list folder that is a file: the run says which file and why, and writes nothing.
TEST_F(ProcesoWindows, ResultFolderThatIsAFile) {
    const auto archivo = resultado.escribir("no-carpeta", "x");
    puerto.resultado = archivos::desdeRuta(archivo);
    puerto.preparar(estado);
    const auto entrada = temporal.escribir("in.txt", "a@example.com\r\n");
    EXPECT_EQ(procesarArchivo(estado, puerto, archivos::desdeRuta(entrada)),
              Desenlace::FalloArchivo);
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_TRUE(puerto.mensajes[0].texto.starts_with(u"No se pudo crear el archivo:\r\n"));
    // Said as on Linux: not "does not exist", which sends the user looking for a missing folder.
    EXPECT_TRUE(puerto.mensajes[0].texto.ends_with(u"una parte de la ruta no es una carpeta"))
        << prueba::u8(puerto.mensajes[0].texto);
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Critico);
    EXPECT_EQ(prueba::leer(archivo), "x");
    EXPECT_TRUE(puerto.abiertos.empty());
}

}  // namespace
}  // namespace tralmix
