#include "util/archivos.h"
#include "util/entorno.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "puerto_falso.h"

namespace tralmix::archivos {
namespace {

namespace fs = std::filesystem;

TEST(LeerTodo, ReadsRegularFilesWhole) {
    prueba::CarpetaTemporal dir;
    std::string grande(3'000'000, 'x');
    grande[1'234'567] = '\0';
    for (const std::string& bytes : {std::string(), std::string("a\r\nb"), grande}) {
        const auto ruta = dir.escribir("f.txt", bytes);
        std::string leido = "stale";
        EXPECT_FALSE(leerTodo(desdeRuta(ruta), leido));
        EXPECT_EQ(leido, bytes);
    }
}

// Read a piece at a time, then again from the start; its state when opened tells a changed file.
TEST(Lector, PiecesThenAgainFromTheStart) {
    prueba::CarpetaTemporal dir;
    const auto ruta = dir.escribir("f.txt", "abcdefghij");
    Lector lector;
    ASSERT_FALSE(lector.abrir(desdeRuta(ruta)));
    EXPECT_EQ(lector.tamano(), 10u);
    const Huella antes = lector.huella();
    std::string visto;
    for (int vez = 0; vez < 2; ++vez) {
        char trozo[4];
        std::size_t n = 0;
        do {
            ASSERT_FALSE(lector.leer(trozo, sizeof trozo, n));
            visto.append(trozo, n);
        } while (n > 0);
        ASSERT_FALSE(lector.irA(0));
    }
    EXPECT_EQ(visto, "abcdefghijabcdefghij");
    dir.escribir("f.txt", "abcdefghijk");
    Lector otro;
    ASSERT_FALSE(otro.abrir(desdeRuta(ruta)));
    EXPECT_FALSE(otro.huella() == antes);
    EXPECT_TRUE(otro.abrir(desdeRuta(ruta), true) ? false : true);
    fs::create_symlink(ruta, dir.ruta() / "enlace.txt");
    EXPECT_TRUE(otro.abrir(desdeRuta(dir.ruta() / "enlace.txt"), true));  // no link followed
    EXPECT_FALSE(otro.abrir(desdeRuta(dir.ruta() / "enlace.txt")));
}

// Only regular files are read: nothing can block on a FIFO or read a device without end.
TEST(LeerTodo, RefusesWhatIsNotARegularFile) {
    prueba::CarpetaTemporal dir;
    const auto fifo = dir.ruta() / "tuberia";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Caso {
        fs::path ruta;
        std::u16string motivo;
    };
    const std::vector<Caso> casos = {
        {dir.ruta(), u"es una carpeta, no un archivo"},
        {fifo, u"es una tubería (FIFO), no un archivo normal"},
        {"/dev/zero", u"es un dispositivo, no un archivo normal"},
        {dir.ruta() / "falta.txt", u"el archivo o la carpeta no existe"},
    };
    for (const auto& c : casos) {
        std::string leido = "stale";
        const Fallo f = leerTodo(desdeRuta(c.ruta), leido);
        EXPECT_TRUE(f) << c.ruta;
        EXPECT_EQ(f.motivo, c.motivo) << c.ruta;
        EXPECT_EQ(leido, "stale");
    }
    std::string leido;
    EXPECT_TRUE(leerTodo(u"", leido));
    EXPECT_EQ(leerTodo(std::u16string(u"/etc/hostname\0x", 15), leido).error, EINVAL);
}

TEST(Motivo, SpanishReasons) {
    EXPECT_EQ(motivo(ENOSPC), u"no queda espacio en el disco");
    EXPECT_EQ(motivo(EACCES), u"permiso denegado");
    EXPECT_EQ(motivo(9999), u"error del sistema número 9999");
}

TEST(EscritorAtomico, NothingVisibleUntilConfirmed) {
    prueba::CarpetaTemporal dir;
    const auto destino = dir.ruta() / "lista.txt";
    dir.escribir("lista.txt", "earlier");
    {
        EscritorAtomico e;
        ASSERT_FALSE(e.abrir(desdeRuta(destino)));
        ASSERT_FALSE(e.escribir("new content"));
        EXPECT_EQ(prueba::leer(destino), "earlier");
        // Destroyed without confirming: the earlier file stays, the temporary one goes.
    }
    EXPECT_EQ(prueba::leer(destino), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.ruta()), {}), 1);

    EscritorAtomico e;
    ASSERT_FALSE(e.abrir(desdeRuta(destino)));
    ASSERT_FALSE(e.escribir("new content"));
    ASSERT_FALSE(e.confirmar());
    EXPECT_EQ(prueba::leer(destino), "new content");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.ruta()), {}), 1);
}

TEST(EscritorAtomico, TargetThatIsAFolderFailsOnConfirm) {
    prueba::CarpetaTemporal dir;
    fs::create_directory(dir.ruta() / "Mails.txt");
    fs::create_directory(dir.ruta() / "Mails.txt" / "inside");
    EscritorAtomico e;
    ASSERT_FALSE(e.abrir(desdeRuta(dir.ruta() / "Mails.txt")));
    ASSERT_FALSE(e.escribir("x"));
    const Fallo f = e.confirmar();
    EXPECT_TRUE(f);
    EXPECT_TRUE(fs::is_directory(dir.ruta() / "Mails.txt" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.ruta()), {}), 1);
}

TEST(ArchivoTrabajo, SomeoneElsesFileIsLeftAlone) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a file away";
    }
    prueba::CarpetaTemporal dir;
    const auto ajeno = dir.escribir("lista.txt", "not ours");
    ASSERT_EQ(::chown(ajeno.c_str(), 12345, 12345), 0);
    ArchivoTrabajo t;
    ASSERT_FALSE(t.crear(desdeRuta(ajeno), {}));
    ASSERT_FALSE(t.escribir("ours"));
    ASSERT_FALSE(t.cerrar());
    EXPECT_EQ(prueba::leer(ajeno), "not ours");
    EXPECT_NE(t.ruta(), desdeRuta(ajeno));
    EXPECT_EQ(prueba::leer(aRuta(t.ruta())), "ours");
}

TEST(ArchivoTrabajo, HardLinkedFileIsLeftAlone) {
    prueba::CarpetaTemporal dir;
    const auto original = dir.escribir("otro.txt", "keep me");
    fs::create_hard_link(original, dir.ruta() / "lista.txt");
    ArchivoTrabajo t;
    ASSERT_FALSE(t.crear(desdeRuta(dir.ruta() / "lista.txt"), {}));
    ASSERT_FALSE(t.escribir("ours"));
    ASSERT_FALSE(t.cerrar());
    EXPECT_EQ(prueba::leer(original), "keep me");
}

// The opener's answer comes back as the reason the window and the command show; one that keeps
// the viewer open is not waited for. The wait is given: long where the opener answers (it costs
// nothing then), none where it keeps running.
TEST(Entorno, AbrirHandsThePathToTheOpenerAndTellsWhyItFailed) {
    using namespace std::chrono_literals;
    struct Caso {
        const char* que;
        const char* fin;  // how the opener ends after writing down its argument; null: no opener
        std::chrono::milliseconds espera;
        std::u16string motivo;
    };
    const Caso casos[] = {
        {"opened", "exit 0", 600s, u""},
        {"no program for the file", "exit 3", 600s,
         u"no hay ningún programa para abrirlo en este escritorio"},
        {"no such file", "exit 2", 600s, u"el archivo o la carpeta no existe"},
        {"the viewer failed", "exit 4", 600s, u"el programa que debía abrirlo falló"},
        {"viewer still open", "exec sleep 600", 0s, u""},
        {"no opener installed", nullptr, 600s,
         u"no está instalado xdg-open (el paquete xdg-utils), que abre los archivos con el "
         u"programa del escritorio"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        prueba::CarpetaTemporal dir;
        const auto registro = dir.ruta() / "abierto";
        const auto proceso = dir.ruta() / "pid";
        if (c.fin != nullptr) {
            const auto stub =
                dir.escribir("xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"" + registro.string() +
                                             "\"\necho $$ > \"" + proceso.string() + ".n\"\nmv \"" +
                                             proceso.string() + ".n\" \"" + proceso.string() +
                                             "\"\n" + c.fin + "\n");
            ::chmod(stub.c_str(), 0755);
        }
        // NOLINTBEGIN(concurrency-mt-unsafe): nothing else reads the environment meanwhile
        const char* ruta = std::getenv("PATH");
        const std::string antes = ruta != nullptr ? ruta : "";
        // The stub's own tools stay reachable; without a stub, nothing answers for xdg-open.
        ::setenv(
            "PATH",
            c.fin != nullptr ? (dir.ruta().string() + ":" + antes).c_str() : dir.ruta().c_str(), 1);
        const std::u16string motivo = entorno::abrir(u"/home/ana/Mails 2005 ñ.txt", c.espera);
        ::setenv("PATH", antes.c_str(), 1);
        // NOLINTEND(concurrency-mt-unsafe)
        EXPECT_EQ(motivo, c.motivo);
        if (c.fin == nullptr) {
            continue;
        }
        // An opener that answered has written its notes; a viewer still open may not have
        // started yet: its note is waited for, then it goes.
        while (c.espera == 0s && !fs::exists(proceso)) {
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_EQ(prueba::leer(registro), "/home/ana/Mails 2005 \xC3\xB1.txt");
        if (c.espera == 0s) {
            ::kill(std::stoi(prueba::leer(proceso)), SIGTERM);
        }
    }
}

}  // namespace
}  // namespace tralmix::archivos
