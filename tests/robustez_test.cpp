// Hostile inputs and file-system faults on the whole run: whatever happens, a correct list or a
// clear message naming the file and the reason, and nothing lost.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>
#include <new>

#include "extract/proceso.h"
#include "extract/resultado.h"
#include "puerto_falso.h"
#include "referencia/literal.h"
#include "util/archivos.h"

// The system's fsync, replaced in this test program so that a test can make it fail as a failing
// disk would; otherwise it is the real one.
namespace {
std::atomic<bool> fsyncFalla{false};
}
extern "C" int fsync(int fd) {
    if (fsyncFalla) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace tralmix {
namespace {

namespace fs = std::filesystem;
using prueba::leer;
using namespace std::string_literals;

// Bytes of a UTF-16 text with its byte-order mark, as Windows Notepad saves "Unicode".
std::string utf16(std::u16string_view texto, bool grandeFinal) {
    std::string b = grandeFinal ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : texto) {
        const char alto = static_cast<char>(c >> 8);
        const char bajo = static_cast<char>(c & 0xFF);
        b += grandeFinal ? alto : bajo;
        b += grandeFinal ? bajo : alto;
    }
    return b;
}

std::size_t archivosEn(const fs::path& carpeta) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(carpeta), {}));
}

class Robustez : public ::testing::Test {
  protected:
    prueba::CarpetaTemporal entrada;
    prueba::CarpetaTemporal temporal;
    prueba::CarpetaTemporal resultado;

    void preparar(prueba::PuertoFalso& p, Estado& e) const {
        p.temporal = temporal.u16();
        p.resultado = resultado.u16();
        p.preparar(e);
    }
    fs::path lista() const { return resultado.ruta() / "Mails_20050305.txt"; }
};

TEST_F(Robustez, OddContentEndsWithACorrectListOrItsRefusal) {
    struct Caso {
        const char* que;
        std::string bytes;
        Desenlace desenlace;
        std::string lista;  // expected result file; unused when refused
    };
    const std::vector<Caso> casos = {
        {"CR LF only", std::string(2000, '\r') + std::string(2000, '\n'), Desenlace::Rechazado, ""},
        {"lone CRs and LFs", "\r\r\n\n\r  \n", Desenlace::Rechazado, ""},
        // NUL bytes at the start of a file that is not UTF-16 or UTF-32: no text at all.
        {"NUL bytes", "a\0b@example.com\r\nc@example.com\0\r\n\0\r\n"s, Desenlace::Rechazado, ""},
        {"Windows-1252", "Jos\xE9@example.com\r\n\x80uro@example.com\r\n", Desenlace::Escrito,
         "Jos\xC3\xA9@example.com\r\n\r\n\xE2\x82\xAC"
         "uro@example.com\r\n\r\n\r\n"},
        // One invalid byte decides for the whole file: the UTF-8 "é" is read as two characters.
        {"UTF-8 with one invalid byte",
         "Jos\xC3\xA9@x.com\r\nPe\xF1"
         "a@x.com\r\n",
         Desenlace::Escrito,
         "Jos\xC3\x83\xC2\xA9@x.com\r\n\r\nPe\xC3\xB1"
         "a@x.com\r\n\r\n\r\n"},
        {"bytes Windows-1252 leaves undefined", "\x81\x8D\x8F\x90\x9D@x.com\r\n",
         Desenlace::Escrito, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D@x.com\r\n\r\n"},
        {"UTF-16 LE with BOM, list", utf16(u"Peña@example.com\r\nZoë@example.com\r\n", false),
         Desenlace::Escrito,
         "Pe\xC3\xB1"
         "a@example.com\r\n\r\nZo\xC3\xAB@example.com\r\n\r\n\r\n"},
        {"UTF-16 BE with BOM, list", utf16(u"Peña@example.com\r\nZoë@example.com", true),
         Desenlace::Escrito,
         "Pe\xC3\xB1"
         "a@example.com\r\n\r\nZo\xC3\xAB@example.com\r\n\r\n\r\n"},
        // The bulk path reads the text again: it must decode it the same way.
        {"UTF-16 LE with BOM, pasted messages",
         utf16(u"De: Peña <PEÑA@Example.com>\r\nPara: zoë@example.com; Ana <ana@example.com>\r\n",
               false),
         Desenlace::Escrito,
         "ana@example.com\r\n\r\npe\xC3\xB1"
         "a@example.com, zo\xC3\xAB@example.com\r\n\r\n\r\n"},
        {"UTF-32 LE with BOM, list",
         "\xFF\xFE\0\0"s + std::string("a\0\0\0@\0\0\0x\0\0\0\r\0\0\0\n\0\0\0", 20),
         Desenlace::Escrito, "a@x\r\n\r\n"},
        // An entry with a zero-width or bidirectional control could show as another address.
        {"hidden controls, list",
         "ana@example.com\r\nb\xE2\x80\x8Bo@example.com\r\n\xE2\x80\xAEmoc.x@y\r\n"
         "z\xEF\xBB\xBF@x.com\r\n",
         Desenlace::Escrito, "ana@example.com\r\n\r\n"},
        {"hidden controls, pasted messages",
         "De: ana@example.com, b\xE2\x81\xA6o@example.com; c\xE2\x80\x8F@x.com\r\n",
         Desenlace::Escrito, "ana@example.com\r\n\r\n"},
        // An image is refused for what it is, before any list.
        {"PNG-like bytes",
         "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0\x90\x91h6"s,
         Desenlace::Rechazado, ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        prueba::PuertoFalso p;
        Estado e;
        preparar(p, e);
        const auto ruta = entrada.escribir("entrada.txt", c.bytes);
        p.respuesta = {true, archivos::desdeRuta(ruta)};
        fs::remove(lista());
        EXPECT_EQ(cmd_file01_Click(e, p), c.desenlace);
        ASSERT_EQ(p.mensajes.size(), 1u);
        if (c.desenlace == Desenlace::Rechazado) {
            EXPECT_TRUE(p.mensajes[0].texto == u"El archivo esta vacio!\r\nImposible continuar" ||
                        p.mensajes[0].texto.starts_with(u"No se encontraron direcciones") ||
                        p.mensajes[0].texto.find(u"Motivo: es una imagen;") !=
                            std::u16string::npos ||
                        p.mensajes[0].texto.find(u"Motivo: no es un archivo de texto") !=
                            std::u16string::npos);
            EXPECT_FALSE(fs::exists(lista()));
        } else {
            EXPECT_EQ(p.mensajes[0].estilo, Estilo::Informacion);
            EXPECT_EQ(leer(lista()), c.lista);
        }
        EXPECT_EQ(leer(ruta), c.bytes);
    }
}

// A window that does something to the input file at the moment the bulk path starts (when it
// puts the input's path back into the box, after the working file has been written).
class PuertoQueCambia : public prueba::PuertoFalso {
  public:
    std::function<void()> accion;
    fs::path trabajo;
    bool hecho = false;
    // Once the first reading has taken the whole file.
    void progreso(Fase fase, std::uint64_t leidos, std::uint64_t total) override {
        PuertoFalso::progreso(fase, leidos, total);
        if (!hecho && fase == Fase::Limpieza && leidos == total && fs::exists(trabajo)) {
            hecho = true;
            accion();
        }
    }
};

// The input changes between the first read and the bulk pass: the list is that of the first
// content, or the run stops with a clear message and the earlier list stays. Never the second
// content, never a mixture.
TEST_F(Robustez, InputChangedDuringTheRunGivesNoMixture) {
    const std::string primero = "ana@example.com, bo@example.com\r\n";
    const std::string listaPrimero = "ana@example.com\r\n\r\nbo@example.com\r\n\r\n\r\n";
    const std::string segundo = "zed@example.com, yo@example.com\r\n";
    const auto ruta = entrada.ruta() / "lista.txt";
    struct Caso {
        const char* que;
        std::function<void()> accion;
    };
    const std::vector<Caso> casos = {
        {"deleted", [&] { fs::remove(ruta); }},
        {"replaced by rename",
         [&] {
             entrada.escribir("otra.txt", segundo);
             fs::rename(entrada.ruta() / "otra.txt", ruta);
         }},
        {"rewritten in place", [&] { entrada.escribir("lista.txt", segundo); }},
        {"grown", [&] { std::ofstream(ruta, std::ios::app) << "cy@example.com; dee@example.com"; }},
        {"emptied", [&] { fs::resize_file(ruta, 0); }},
        {"replaced by a folder",
         [&] {
             fs::remove(ruta);
             fs::create_directory(ruta);
         }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        fs::remove_all(ruta);
        fs::remove(temporal.ruta() / "lista.txt");  // the hook waits for this run's working file
        entrada.escribir("lista.txt", primero);
        resultado.escribir("Mails_20050305.txt", "earlier list\r\n");
        PuertoQueCambia p;
        Estado e;
        preparar(p, e);
        p.trabajo = temporal.ruta() / "lista.txt";
        p.accion = c.accion;
        p.respuesta = {true, archivos::desdeRuta(ruta)};
        const Desenlace d = cmd_file01_Click(e, p);
        EXPECT_TRUE(p.hecho);
        ASSERT_EQ(p.mensajes.size(), 1u);
        if (d == Desenlace::Escrito) {
            EXPECT_EQ(leer(lista()), listaPrimero);
        } else {
            EXPECT_EQ(d, Desenlace::FalloArchivo);
            EXPECT_EQ(p.mensajes[0].estilo, Estilo::Critico);
            EXPECT_NE(
                p.mensajes[0].texto.find(u"\r\n" + archivos::desdeRuta(ruta) + u"\r\n\r\nMotivo: "),
                std::u16string::npos);
            EXPECT_EQ(leer(lista()), "earlier list\r\n");
        }
        EXPECT_EQ(archivosEn(resultado.ruta()), 1u);
    }
}

// The input is the very list the run would write (by its name, a link or another name of the
// same file): refused before anything is written, the file untouched.
TEST_F(Robustez, InputThatIsTheListIsRefused) {
    const std::string mensajes = "De: Ana <ana@example.com>\r\nPara: bo@example.com, cy@x.com\r\n";
    struct Caso {
        const char* que;
        std::function<fs::path()> elegir;
    };
    const std::vector<Caso> casos = {
        {"the list itself", [&] { return lista(); }},
        {"a symbolic link to it",
         [&] {
             fs::create_symlink(lista(), entrada.ruta() / "enlace.txt");
             return entrada.ruta() / "enlace.txt";
         }},
        {"a hard link to it",
         [&] {
             fs::create_hard_link(lista(), entrada.ruta() / "otro.txt");
             return entrada.ruta() / "otro.txt";
         }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        fs::remove_all(entrada.ruta());
        fs::create_directory(entrada.ruta());
        resultado.escribir("Mails_20050305.txt", mensajes);
        prueba::PuertoFalso p;
        Estado e;
        preparar(p, e);
        p.respuesta = {true, archivos::desdeRuta(c.elegir())};
        EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::Rechazado);
        ASSERT_EQ(p.mensajes.size(), 1u);
        EXPECT_EQ(p.mensajes[0].estilo, Estilo::Exclamacion);
        EXPECT_EQ(p.mensajes[0].texto,
                  std::u16string(kEsLaLista) + u"\r\n" + archivos::desdeRuta(lista()));
        EXPECT_EQ(leer(lista()), mensajes);
        EXPECT_EQ(archivosEn(resultado.ruta()), 1u);
        EXPECT_EQ(archivosEn(temporal.ruta()), 0u);
    }
}

// A window that notes the files of its own a run made in the temporary folder, as they are when
// the run announces its end: they go with the run.
class PuertoQueMiraPropios : public prueba::PuertoFalso {
  public:
    fs::path carpeta;
    std::vector<fs::path> propios;
    std::vector<mode_t> modos;
    std::vector<std::string> contenidos;
    void mensaje(std::u16string_view t, Estilo estilo, std::u16string_view titulo) override {
        PuertoFalso::mensaje(t, estilo, titulo);
        for (const auto& f : fs::directory_iterator(carpeta)) {
            const std::string nombre = f.path().filename().string();
            if (nombre.starts_with("lista") && nombre != "lista.txt") {
                struct stat info {};
                ::lstat(f.path().c_str(), &info);
                propios.push_back(f.path());
                modos.push_back(info.st_mode);
                contenidos.push_back(leer(f.path()));
            }
        }
    }
};

// A window that changes the input as soon as the first reading has gone through all of it.
class PuertoQueCambiaAlLeer : public prueba::PuertoFalso {
  public:
    std::function<void()> accion;
    void progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) override {
        PuertoFalso::progreso(fase, hecho, total);
        if (accion && fase == Fase::Limpieza && hecho == total) {
            std::exchange(accion, nullptr)();
        }
    }
};

// Changed after it was read (shrunk, grown by half an address, rewritten with the same size):
// the run says so, writes no list and keeps the earlier one, on both paths.
TEST_F(Robustez, InputChangedAfterItsReadWritesNoList) {
    const auto ruta = entrada.ruta() / "lista.txt";
    const std::string lista1 = "ana@example.com\r\nbo@example.com\r\n";
    const std::string masivo1 = "De: ana@example.com, bo@example.com\r\n";
    struct Caso {
        const char* que;
        std::function<void(const std::string&)> accion;
    };
    const std::vector<Caso> casos = {
        {"shrunk", [&](const std::string& b) { fs::resize_file(ruta, b.size() / 2); }},
        {"grown", [&](const std::string&) { std::ofstream(ruta, std::ios::app) << "half@exa"; }},
        // The clock may tick more coarsely than the run: the new time is set, not waited for.
        {"rewritten, same size",
         [&](const std::string& b) {
             const auto antes = fs::last_write_time(ruta);
             std::ofstream(ruta, std::ios::binary) << std::string(b.size(), 'z');
             fs::last_write_time(ruta, antes + std::chrono::seconds(1));
         }},
    };
    for (const std::string& contenido : {lista1, masivo1}) {
        for (const Caso& c : casos) {
            SCOPED_TRACE(std::string(c.que) + " " + contenido);
            entrada.escribir("lista.txt", contenido);
            resultado.escribir("Mails_20050305.txt", "earlier list\r\n");
            PuertoQueCambiaAlLeer p;
            Estado e;
            preparar(p, e);
            p.accion = [&] { c.accion(contenido); };
            p.respuesta = {true, archivos::desdeRuta(ruta)};
            EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::FalloArchivo);
            EXPECT_FALSE(p.accion);
            ASSERT_EQ(p.mensajes.size(), 1u);
            EXPECT_EQ(p.mensajes[0].estilo, Estilo::Critico);
            EXPECT_NE(p.mensajes[0].texto.find(archivos::desdeRuta(ruta) + u"\r\n\r\nMotivo: " +
                                               std::u16string(kCambiado)),
                      std::u16string::npos);
            EXPECT_EQ(leer(lista()), "earlier list\r\n");
            EXPECT_EQ(archivosEn(resultado.ruta()), 1u);
        }
    }
}

// Whatever someone planted at the working path in a shared temporary folder stays as it is; the
// run writes a private copy of its own beside it, kept as the working file, and never blocks.
TEST_F(Robustez, PlantedThingsAtTheWorkingPathAreLeftAlone) {
    prueba::CarpetaTemporal otra;
    const auto noCreado = otra.ruta() / "no-creado.txt";
    const auto victima = otra.ruta() / "victima.txt";
    const auto punto = temporal.ruta() / "lista.txt";
    struct Caso {
        const char* que;
        std::function<void()> plantar;
        std::function<bool()> intacto;
    };
    const std::vector<Caso> casos = {
        {"link to a file",
         [&] {
             otra.escribir("victima.txt", "precious\r\n");
             fs::create_symlink(victima, punto);
         },
         [&] { return fs::is_symlink(punto) && leer(victima) == "precious\r\n"; }},
        {"dangling link", [&] { fs::create_symlink(noCreado, punto); },
         [&] { return fs::is_symlink(punto) && !fs::exists(noCreado); }},
        {"link to a folder", [&] { fs::create_directory_symlink(otra.ruta(), punto); },
         [&] { return fs::is_symlink(punto) && archivosEn(otra.ruta()) == 0; }},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(punto.c_str(), 0666), 0); },
         [&] { return fs::is_fifo(fs::symlink_status(punto)); }},
        {"folder", [&] { fs::create_directory(punto); },
         [&] { return fs::is_directory(fs::symlink_status(punto)) && archivosEn(punto) == 0; }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        for (const auto& dir : {temporal.ruta(), otra.ruta()}) {
            for (const auto& e : fs::directory_iterator(dir)) {
                fs::remove_all(e.path());
            }
        }
        c.plantar();
        PuertoQueMiraPropios p;
        p.carpeta = temporal.ruta();
        Estado e;
        preparar(p, e);
        p.respuesta = {true,
                       archivos::desdeRuta(entrada.escribir("Lista.txt", "x@example.com\r\n"))};
        EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::Escrito);
        EXPECT_EQ(leer(lista()), "x@example.com\r\n\r\n");
        EXPECT_TRUE(c.intacto());
        ASSERT_EQ(p.propios.size(), 1u);
        EXPECT_EQ(p.propios[0], temporal.ruta() / "lista (2).txt");
        EXPECT_TRUE(S_ISREG(p.modos[0]));
        EXPECT_EQ(p.modos[0] & 0777, 0600u);
        EXPECT_EQ(p.contenidos[0], "x@example.com\r\n");
        EXPECT_EQ(leer(p.propios[0]), "x@example.com\r\n");
        EXPECT_EQ(archivosEn(temporal.ruta()), 2u);
    }
}

// Every file failure: style 16, the program's title, "<what failed>:", the path, and the reason
// in Spanish; the run ends as a file failure (the command's status 3) and opens nothing.
TEST_F(Robustez, EveryFileFailureNamesTheFileAndTheReason) {
    const auto fifo = entrada.ruta() / "tuberia.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto valida = archivos::desdeRuta(entrada.escribir("valida.txt", "a@example.com\r\n"));
    const auto noCarpeta = archivos::desdeRuta(entrada.escribir("no-carpeta", "x"));
    // 3 GiB that take no room on disk: refused by its size, before anything is read.
    const auto enorme = entrada.escribir("enorme.txt", "a@example.com\r\n");
    fs::resize_file(enorme, std::uintmax_t{3} << 30);
    struct Caso {
        const char* que;
        std::u16string entrada;
        std::u16string temporal;  // empty: the test's own
        std::u16string resultado;
        std::u16string accion;
        std::u16string ruta;
        std::u16string motivo;
    };
    const std::u16string falta = entrada.u16() + u"/falta.txt";
    const std::vector<Caso> casos = {
        {"FIFO as input", archivos::desdeRuta(fifo), u"", resultado.u16(),
         u"No se pudo leer el archivo:", archivos::desdeRuta(fifo),
         u"es una tubería (FIFO), no un archivo normal"},
        {"device as input", u"/dev/zero", u"", resultado.u16(), u"No se pudo leer el archivo:",
         u"/dev/zero", u"es un dispositivo, no un archivo normal"},
        {"file beyond the size limit", archivos::desdeRuta(enorme), u"", resultado.u16(),
         u"No se pudo leer el archivo:", archivos::desdeRuta(enorme),
         u"el archivo es demasiado grande"},
        {"missing input", falta, u"", resultado.u16(), u"No se pudo leer el archivo:", falta,
         u"el archivo o la carpeta no existe"},
        {"result folder missing", valida, u"", resultado.u16() + u"/falta",
         u"No se pudo crear el archivo:", resultado.u16() + u"/falta/Mails_20050305.txt",
         u"el archivo o la carpeta no existe"},
        {"result folder is a file", valida, u"", noCarpeta, u"No se pudo crear el archivo:",
         noCarpeta + u"/Mails_20050305.txt", u"una parte de la ruta no es una carpeta"},
        {"result folder in /proc", valida, u"", u"/proc", u"No se pudo crear el archivo:",
         u"/proc/Mails_20050305.txt", u"el archivo o la carpeta no existe"},
        {"temporary folder is a file", valida, noCarpeta, resultado.u16(),
         u"No se pudo crear el archivo de trabajo:", noCarpeta + u"/valida.txt",
         u"una parte de la ruta no es una carpeta"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        prueba::PuertoFalso p;
        Estado e;
        preparar(p, e);
        if (!c.temporal.empty()) {
            p.temporal = c.temporal;
        }
        p.resultado = c.resultado;
        p.preparar(e);
        p.respuesta = {true, c.entrada};
        EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::FalloArchivo);
        ASSERT_EQ(p.mensajes.size(), 1u);
        EXPECT_EQ(p.mensajes[0].estilo, Estilo::Critico);
        EXPECT_EQ(p.mensajes[0].titulo, u"Messenger Add-in");
        EXPECT_EQ(p.mensajes[0].texto, mensajeFallo(c.accion, c.ruta, c.motivo));
        EXPECT_TRUE(p.abiertos.empty());
    }
}

// A later run replaces its own earlier working copy, private again whatever mode it was given;
// a user's file of that name it leaves alone.
TEST_F(Robustez, EarlierWorkingFileIsReplacedAndMadePrivate) {
    const auto copia = temporal.ruta() / "lista.txt";
    const auto correr = [&](const std::string& bytes) {
        prueba::PuertoFalso puerto;
        Estado estado;
        preparar(puerto, estado);
        puerto.respuesta = {true, archivos::desdeRuta(entrada.escribir("lista.txt", bytes))};
        EXPECT_EQ(cmd_file01_Click(estado, puerto), Desenlace::Escrito);
    };
    correr("old@example.com, longer than the next\r\n");
    ASSERT_EQ(::chmod(copia.c_str(), 0644), 0);
    correr("x@example.com\r\n");
    EXPECT_EQ(leer(copia), "x@example.com\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(copia.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(archivosEn(temporal.ruta()), 1u);

    temporal.escribir("lista.txt", "the user's own notes\n");
    correr("y@example.com\r\n");
    EXPECT_EQ(leer(copia), "the user's own notes\n");
    EXPECT_EQ(leer(temporal.ruta() / "lista (2).txt"), "y@example.com\r\n");
}

// A write that fails part way (here: past a file-size limit, as a full disk would) leaves the
// earlier list whole, no half-written file, and no announcement.
TEST_F(Robustez, FailedWriteOfTheListKeepsTheEarlierOne) {
    resultado.escribir("Mails_20050305.txt", "earlier list\r\n");
    prueba::PuertoFalso puerto;
    Estado estado;
    preparar(puerto, estado);
    estado.lineas = literal::comoArreglo(literal::Lineas(5000, u"someone@example.com"));
    EtapaResultado etapa;
    ASSERT_FALSE(etapa.preparar(estado));

    rlimit antes{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &antes), 0);
    rlimit pequeno = antes;
    pequeno.rlim_cur = 1000;
    const auto senal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &pequeno), 0);
    const Desenlace d = informar(puerto, etapa.terminar(estado, puerto, kCierreLista));
    ::setrlimit(RLIMIT_FSIZE, &antes);
    std::signal(SIGXFSZ, senal);

    EXPECT_EQ(d, Desenlace::FalloArchivo);
    EXPECT_EQ(leer(lista()), "earlier list\r\n");
    ASSERT_EQ(puerto.mensajes.size(), 1u);
    EXPECT_EQ(puerto.mensajes[0].estilo, Estilo::Critico);
    EXPECT_NE(puerto.mensajes[0].texto.find(u"Motivo: el archivo es demasiado grande"),
              std::u16string::npos);
    EXPECT_TRUE(puerto.abiertos.empty());
    EXPECT_EQ(archivosEn(resultado.ruta()), 1u);
}

// The disk refuses to make the list durable: the earlier list stays and the user is told.
TEST_F(Robustez, FailedFsyncKeepsTheEarlierList) {
    resultado.escribir("Mails_20050305.txt", "earlier list\r\n");
    prueba::PuertoFalso p;
    Estado e;
    preparar(p, e);
    p.respuesta = {true, archivos::desdeRuta(entrada.escribir("l.txt", "a@example.com\r\n"))};
    fsyncFalla = true;
    const Desenlace d = cmd_file01_Click(e, p);
    fsyncFalla = false;
    EXPECT_EQ(d, Desenlace::FalloArchivo);
    ASSERT_EQ(p.mensajes.size(), 1u);
    EXPECT_EQ(p.mensajes[0].texto,
              mensajeFallo(kNoSeCreo, archivos::desdeRuta(lista()), archivos::motivo(EIO)));
    EXPECT_EQ(leer(lista()), "earlier list\r\n");
    EXPECT_EQ(archivosEn(resultado.ruta()), 1u);
}

// What a run leaves in the temporary folder: only the working file of the input's name, and
// nothing when the run failed part way; and a file of its own, made beside a working file another
// run holds, goes with the run.
TEST_F(Robustez, RunsLeaveOnlyTheirWorkingFile) {
    std::string grande;
    for (int i = 0; i < 3000; ++i) {
        grande += "persona." + std::to_string(i) + "@example.com\r\n";
    }
    struct Caso {
        const char* que;
        bool limitarEscritura;  // writes past 4 kB fail, as on a full disk
        bool otraRunLaTiene;    // another run holds the working file
        Desenlace desenlace;
        std::vector<std::string> quedan;
    };
    const std::vector<Caso> casos = {
        {"done", false, false, Desenlace::Escrito, {"lista.txt"}},
        {"working file write fails", true, false, Desenlace::FalloArchivo, {}},
        {"held by another run", false, true, Desenlace::Escrito, {"lista.txt"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        fs::remove_all(temporal.ruta());
        fs::create_directory(temporal.ruta());
        prueba::PuertoFalso p;
        Estado e;
        preparar(p, e);
        p.respuesta = {true, archivos::desdeRuta(entrada.escribir("lista.txt", grande))};
        int otra = -1;
        if (c.otraRunLaTiene) {
            otra = ::open((temporal.ruta() / "lista.txt").c_str(), O_WRONLY | O_CREAT, 0600);
            ASSERT_EQ(::flock(otra, LOCK_EX | LOCK_NB), 0);
        }
        rlimit antes{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &antes), 0);
        rlimit limite = antes;
        limite.rlim_cur = c.limitarEscritura ? 4096 : antes.rlim_cur;
        const auto senal = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
        const Desenlace d = cmd_file01_Click(e, p);
        ::setrlimit(RLIMIT_FSIZE, &antes);
        std::signal(SIGXFSZ, senal);
        if (otra >= 0) {
            ::close(otra);
        }
        EXPECT_EQ(d, c.desenlace);
        std::vector<std::string> quedan;
        for (const auto& f : fs::directory_iterator(temporal.ruta())) {
            quedan.push_back(f.path().filename().string());
        }
        EXPECT_EQ(quedan, c.quedan);
    }
}

// A Windows-1252 file may triple in the working file: beyond a third of what the working file can
// hold it is refused before its text is written, naming the user's file, leaving nothing. The
// file is sparse past its first lines (enough that its start is no binary file's), so the test
// costs no disk.
TEST_F(Robustez, Oversized1252InputIsRefusedBeforeTheWorkingFile) {
    std::string lineas;
    for (int i = 0; i < 1000; ++i) {
        lineas += "Jos\xE9@example.com\r\n";
    }
    const auto ruta = entrada.escribir("grande.txt", lineas);
    fs::resize_file(ruta, archivos::kTamanoMaximo1252 + 1);
    prueba::PuertoFalso p;
    Estado e;
    preparar(p, e);
    p.respuesta = {true, archivos::desdeRuta(ruta)};
    EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::FalloArchivo);
    ASSERT_EQ(p.mensajes.size(), 1u);
    EXPECT_EQ(p.mensajes[0].texto,
              mensajeFallo(kNoSeLeyo, archivos::desdeRuta(ruta), kDemasiadoGrande));
    EXPECT_EQ(archivosEn(temporal.ruta()), 0u);
}

// A hidden list a run ended by force left behind goes with the next run in that folder; a
// user's file of that form stays, and so does such a hidden list chosen as the input, which is
// read and listed.
TEST_F(Robustez, AbandonedHiddenListsAreRemoved) {
    const auto dejar = [&](const std::string& nombre, std::string_view bytes) {
        archivos::EscritorAtomico e;
        ASSERT_FALSE(e.abrir(archivos::desdeRuta(resultado.ruta() / "hecha.txt")));
        ASSERT_FALSE(e.escribir(bytes));
        ASSERT_FALSE(e.confirmar());
        fs::rename(resultado.ruta() / "hecha.txt", resultado.ruta() / nombre);
    };
    dejar(".Mails_20040101.txt.k3j4h5g6", "kept@example.com\r\n");
    dejar(".Mails_20050305.txt.abc12345", "partial");
    resultado.escribir(".Mails_20231225.txt.original", "the user's\r\n");
    prueba::PuertoFalso p;
    Estado e;
    preparar(p, e);
    p.respuesta = {true, archivos::desdeRuta(resultado.ruta() / ".Mails_20040101.txt.k3j4h5g6")};
    EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::Escrito);
    EXPECT_EQ(leer(lista()), "kept@example.com\r\n\r\n");
    EXPECT_EQ(leer(resultado.ruta() / ".Mails_20040101.txt.k3j4h5g6"), "kept@example.com\r\n");
    EXPECT_EQ(leer(resultado.ruta() / ".Mails_20231225.txt.original"), "the user's\r\n");
    EXPECT_FALSE(fs::exists(resultado.ruta() / ".Mails_20050305.txt.abc12345"));
    EXPECT_EQ(archivosEn(resultado.ruta()), 3u);
}

// Memory running out part way (a file too large for this machine) ends the run with a message,
// not with the program's abrupt end, and an earlier list stays.
TEST_F(Robustez, RunningOutOfMemoryIsReported) {
    class SinMemoria : public prueba::PuertoFalso {
      public:
        void progreso(Fase fase, std::uint64_t, std::uint64_t) override {
            if (fase == Fase::Escritura) {
                throw std::bad_alloc();
            }
        }
    };
    resultado.escribir("Mails_20050305.txt", "earlier list\r\n");
    SinMemoria p;
    Estado e;
    preparar(p, e);
    const auto ruta = archivos::desdeRuta(entrada.escribir("lista.txt", "a@example.com\r\n"));
    p.respuesta = {true, ruta};
    EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::FalloArchivo);
    ASSERT_EQ(p.mensajes.size(), 1u);
    EXPECT_EQ(p.mensajes[0].estilo, Estilo::Critico);
    EXPECT_EQ(p.mensajes[0].titulo, u"Messenger Add-in");
    EXPECT_EQ(p.mensajes[0].texto,
              mensajeFallo(u"No se pudo procesar el archivo:", ruta, u"no hay memoria suficiente"));
    EXPECT_EQ(leer(lista()), "earlier list\r\n");
    EXPECT_TRUE(p.abiertos.empty());
}

// The errors the file operations of a run can meet each read as a reason, not as a number.
TEST(Motivos, EveryFileErrorHasItsOwnReason) {
    for (const int error :
         {ENOENT,    ENOTDIR,      EISDIR,    EACCES, EPERM,      EROFS,  ENOSPC,    EDQUOT,
          EFBIG,     ENAMETOOLONG, ELOOP,     EMFILE, ENFILE,     EIO,    ENOMEM,    EBUSY,
          ETXTBSY,   EXDEV,        EINVAL,    ENXIO,  ENODEV,     EEXIST, ENOTEMPTY, EMLINK,
          EOVERFLOW, EAGAIN,       ETIMEDOUT, ESTALE, EOPNOTSUPP, EBADF}) {
        const std::u16string m = archivos::motivo(error);
        EXPECT_FALSE(m.empty()) << error;
        EXPECT_EQ(m.find(u"error del sistema"), std::u16string::npos) << error;
    }
}

// A small file system mounted for the test, so that a disk really fills up. Needs root and a
// kernel that lets us mount; skipped otherwise.
class DiscoLleno : public Robustez {
  protected:
    fs::path punto;
    bool montado = false;

    void SetUp() override {
        punto = resultado.ruta() / "disco";
        fs::create_directory(punto);
        montado = ::mount("tralmix-test", punto.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
        if (!montado) {
            GTEST_SKIP() << "cannot mount a small tmpfs here";
        }
    }
    void TearDown() override {
        if (montado) {
            ::umount2(punto.c_str(), MNT_DETACH);
        }
    }
    // A list of about 170 kB, far beyond the disk.
    static std::string muchas() {
        std::string s;
        for (int i = 0; i < 6000; ++i) {
            s += "persona." + std::to_string(100000 + i) + "@example.com\r\n";
        }
        return s;
    }
};

TEST_F(DiscoLleno, ResultKeepsTheEarlierListAndSaysWhy) {
    std::ofstream(punto / "Mails_20050305.txt", std::ios::binary) << "earlier list\r\n";
    prueba::PuertoFalso p;
    Estado e;
    preparar(p, e);
    p.resultado = archivos::desdeRuta(punto);
    p.preparar(e);
    p.respuesta = {true, archivos::desdeRuta(entrada.escribir("lista.txt", muchas()))};
    EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::FalloArchivo);
    ASSERT_EQ(p.mensajes.size(), 1u);
    EXPECT_EQ(p.mensajes[0].estilo, Estilo::Critico);
    EXPECT_EQ(p.mensajes[0].texto, mensajeFallo(u"No se pudo crear el archivo:",
                                                archivos::desdeRuta(punto / "Mails_20050305.txt"),
                                                u"no queda espacio en el disco"));
    EXPECT_EQ(leer(punto / "Mails_20050305.txt"), "earlier list\r\n");
    EXPECT_EQ(archivosEn(punto), 1u);  // no half-written temporary file left behind
    EXPECT_TRUE(p.abiertos.empty());
}

TEST_F(DiscoLleno, WorkingFileOnAFullDiskIsReported) {
    prueba::PuertoFalso p;
    Estado e;
    p.temporal = archivos::desdeRuta(punto);
    p.resultado = resultado.u16();
    p.preparar(e);
    p.respuesta = {true, archivos::desdeRuta(entrada.escribir("lista.txt", muchas()))};
    EXPECT_EQ(cmd_file01_Click(e, p), Desenlace::FalloArchivo);
    ASSERT_EQ(p.mensajes.size(), 1u);
    EXPECT_EQ(p.mensajes[0].texto, mensajeFallo(u"No se pudo escribir el archivo de trabajo:",
                                                archivos::desdeRuta(punto / "lista.txt"),
                                                u"no queda espacio en el disco"));
    EXPECT_FALSE(fs::exists(lista()));
    EXPECT_EQ(archivosEn(punto), 0u);  // the partial working file does not keep the disk full
}

}  // namespace
}  // namespace tralmix
