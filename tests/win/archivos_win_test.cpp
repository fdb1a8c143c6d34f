// The file helpers on Windows, each file-system fault in its Windows form: a folder where the
// list's folder should be, a list held open by another program, a link or a second name planted
// at the working path, names in any script.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "puerto_falso.h"
#include "util/archivos.h"

namespace tralmix::archivos {
namespace {

namespace fs = std::filesystem;

std::u16string u(const fs::path& p) {
    return desdeRuta(p);
}

std::wstring w(std::u16string_view t) {
    return std::wstring(t.begin(), t.end());
}

std::size_t cuantos(const fs::path& carpeta) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(carpeta), {}));
}

TEST(LectorWindows, RefusesWhatIsNotARegularFile) {
    prueba::CarpetaTemporal dir;
    struct Caso {
        std::u16string ruta;
        std::u16string motivo;
    };
    const std::vector<Caso> casos = {
        {dir.u16(), u"es una carpeta, no un archivo"},
        {u"NUL", u"es un dispositivo, no un archivo normal"},
        {u(dir.ruta() / "falta.txt"), u"el archivo o la carpeta no existe"},
        {u(dir.ruta() / "no" / "falta.txt"), u"el archivo o la carpeta no existe"},
        {u"", u"el archivo o la carpeta no existe"},
        {std::u16string(u"C:\\x\0y", 6), u"la ruta no es válida"},
    };
    for (const auto& c : casos) {
        std::string leido = "stale";
        const Fallo f = leerTodo(c.ruta, leido);
        EXPECT_TRUE(f) << prueba::u8(c.ruta);
        EXPECT_EQ(prueba::u8(f.motivo), prueba::u8(c.motivo)) << prueba::u8(c.ruta);
        EXPECT_EQ(leido, "stale");
    }
}

// Names are not case-sensitive on Windows: the typed path is looked up lower-cased.
TEST(ExisteArchivoWindows, OnlyExistingFilesWhateverTheCase) {
    prueba::CarpetaTemporal dir;
    const auto archivo = dir.escribir("Lista.TXT", "x@y\r\n");
    EXPECT_TRUE(esArchivo(u(archivo)));
    EXPECT_TRUE(esArchivo(dir.u16() + u"\\lista.txt"));
    EXPECT_TRUE(esArchivo(dir.u16() + u"/LISTA.txt"));
    EXPECT_FALSE(esArchivo(u""));
    EXPECT_FALSE(esArchivo(dir.u16()));  // a folder is not a file
    EXPECT_FALSE(esArchivo(dir.u16() + u"\\no\\a.txt"));
    EXPECT_FALSE(esArchivo(u(archivo) + u"\\debajo.txt"));
    EXPECT_FALSE(esArchivo(std::u16string(u"a\0b", 3)));
    EXPECT_FALSE(esArchivo(u"C:\\a<b>.txt"));  // characters the system refuses
}

TEST(MotivoWindows, SpanishReasonsForSystemErrors) {
    EXPECT_EQ(motivo(ERROR_ACCESS_DENIED), u"permiso denegado");
    EXPECT_EQ(motivo(ERROR_DISK_FULL), u"no queda espacio en el disco");
    EXPECT_EQ(motivo(ERROR_SHARING_VIOLATION), u"el archivo está en uso por otro programa");
    EXPECT_EQ(motivo(ERROR_PATH_NOT_FOUND), u"el archivo o la carpeta no existe");
    EXPECT_EQ(motivo(9999), u"error del sistema número 9999");
    EXPECT_EQ(motivo(0), u"");
}

// Names in Greek and Chinese (and an accent) go through every helper unchanged.
TEST(ArchivosWindows, NamesInAnyScript) {
    prueba::CarpetaTemporal dir;
    const std::u16string carpeta = dir.u16() + u"\\Καλημέρα 你好 ñ";
    ASSERT_TRUE(::CreateDirectoryW(w(carpeta).c_str(), nullptr));
    const std::u16string ruta = carpeta + u"\\Λίστα_名单.txt";
    EscritorAtomico e;
    ASSERT_FALSE(e.abrir(ruta));
    ASSERT_FALSE(e.escribir("a@example.com\r\n"));
    ASSERT_FALSE(e.confirmar());
    EXPECT_TRUE(esArchivo(ruta));
    EXPECT_FALSE(esArchivo(carpeta));
    EXPECT_TRUE(identidad(ruta).valida);
    std::string leido;
    EXPECT_FALSE(leerTodo(ruta, leido));
    EXPECT_EQ(leido, "a@example.com\r\n");
    // The folder holds that one name, spelt as given.
    std::vector<std::u16string> nombres;
    for (const auto& entrada : fs::directory_iterator(aRuta(carpeta))) {
        nombres.push_back(u(entrada.path().filename()));
    }
    EXPECT_EQ(nombres, std::vector<std::u16string>{u"Λίστα_名单.txt"});
    EXPECT_EQ(u(aRuta(ruta)), ruta);
}

TEST(EscritorAtomicoWindows, ReplacesOnlyOnConfirm) {
    prueba::CarpetaTemporal dir;
    const auto destino = dir.escribir("lista.txt", "earlier");
    {
        EscritorAtomico e;
        ASSERT_FALSE(e.abrir(u(destino)));
        ASSERT_FALSE(e.escribir("new"));
        EXPECT_EQ(prueba::leer(destino), "earlier");
    }
    EXPECT_EQ(prueba::leer(destino), "earlier");
    EXPECT_EQ(cuantos(dir.ruta()), 1u);
    EscritorAtomico e;
    ASSERT_FALSE(e.abrir(u(destino)));
    ASSERT_FALSE(e.escribir("new"));
    ASSERT_FALSE(e.confirmar());
    EXPECT_EQ(prueba::leer(destino), "new");
    EXPECT_EQ(cuantos(dir.ruta()), 1u);
    EXPECT_EQ(::GetFileAttributesW(destino.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// The list's folder is a file: nothing is created, the file stays as it was.
TEST(EscritorAtomicoWindows, FolderThatIsAFile) {
    prueba::CarpetaTemporal dir;
    const auto archivo = dir.escribir("carpeta", "not a folder");
    EscritorAtomico e;
    const Fallo f = e.abrir(u(archivo) + u"\\Mails_20050305.txt");
    ASSERT_TRUE(f);
    EXPECT_FALSE(f.motivo.empty());
    EXPECT_EQ(prueba::leer(archivo), "not a folder");
    EXPECT_EQ(cuantos(dir.ruta()), 1u);
}

// A list held open by a program that lets nobody replace it: the new list is not written, the
// earlier one stays whole, and no piece is left beside it.
TEST(EscritorAtomicoWindows, TargetHeldOpenByAnotherProgram) {
    prueba::CarpetaTemporal dir;
    const auto destino = dir.escribir("lista.txt", "earlier");
    HANDLE otro = ::CreateFileW(destino.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(otro, INVALID_HANDLE_VALUE);
    EscritorAtomico e;
    ASSERT_FALSE(e.abrir(u(destino)));
    ASSERT_FALSE(e.escribir("new"));
    const Fallo f = e.confirmar();
    ::CloseHandle(otro);
    ASSERT_TRUE(f);
    EXPECT_FALSE(f.motivo.empty());
    EXPECT_EQ(prueba::leer(destino), "earlier");
    EXPECT_EQ(cuantos(dir.ruta()), 1u);
}

TEST(EscritorAtomicoWindows, UnwritablePlace) {
    EscritorAtomico e;
    const Fallo f = e.abrir(u"Q:\\no\\such\\drive\\Mails_20050305.txt");
    ASSERT_TRUE(f);
    EXPECT_EQ(f.motivo, u"el archivo o la carpeta no existe");
}

// Whatever is planted at the working path is left alone and the copy goes beside it:
// a symbolic link (a reparse point) to another file, a second name of another file, the input
// itself under another case of its name, a folder.
TEST(ArchivoTrabajoWindows, NeverWritesThroughWhatIsPlantedAtItsPath) {
    prueba::CarpetaTemporal dir;
    const auto victima = dir.escribir("victima.txt", "keep me");
    const std::wstring victimaW = victima.wstring();

    const auto enlace = dir.ruta() / "enlace.txt";
    // Wine 8 answers success and makes nothing: the link counts only once it is there.
    ::CreateSymbolicLinkW(enlace.c_str(), victimaW.c_str(),
                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const DWORD atributosEnlace = ::GetFileAttributesW(enlace.c_str());
    const bool hayEnlace = atributosEnlace != INVALID_FILE_ATTRIBUTES &&
                           (atributosEnlace & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const auto segundo = dir.ruta() / "segundo.txt";
    ASSERT_TRUE(::CreateHardLinkW(segundo.c_str(), victimaW.c_str(), nullptr));
    const auto entrada = dir.escribir("Entrada.TXT", "the input");
    const auto carpeta = dir.ruta() / "carpeta.txt";
    fs::create_directory(carpeta);

    struct Caso {
        std::u16string ruta;
        Identidad evitar;
    };
    std::vector<Caso> casos = {
        {u(segundo), {}},
        {dir.u16() + u"\\entrada.txt", identidad(u(entrada))},
        {u(carpeta), {}},
    };
    if (hayEnlace) {
        casos.push_back({u(enlace), {}});
    }
    for (const auto& c : casos) {
        ArchivoTrabajo t;
        ASSERT_FALSE(t.crear(c.ruta, c.evitar)) << prueba::u8(c.ruta);
        EXPECT_EQ(t.ruta(), c.ruta.substr(0, c.ruta.size() - 4) + u" (2).txt");
        ASSERT_FALSE(t.escribir("written"));
        ASSERT_FALSE(t.cerrar());
        EXPECT_EQ(prueba::leer(aRuta(t.ruta())), "written");
    }
    EXPECT_EQ(prueba::leer(victima), "keep me");
    EXPECT_EQ(prueba::leer(entrada), "the input");
    if (!hayEnlace) {
        GTEST_SKIP() << "no symbolic link could be made here (Wine 8 makes none, Windows only with "
                        "the privilege or developer mode); the hard link, input and folder cases "
                        "ran and passed";
    }
}

}  // namespace
}  // namespace tralmix::archivos
