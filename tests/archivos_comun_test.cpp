// What the file layer may remove or replace, the same on every system (this file runs on Linux and
// under Wine): only files this program wrote and can tell as its own, never the input, never a
// file someone holds, never a user's file that merely has the right name.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "puerto_falso.h"
#include "util/archivos.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tralmix::archivos {
namespace {

namespace fs = std::filesystem;

// Another program's lock on a file: a record lock (lockf) on POSIX, a byte-range lock on Windows.
class CerrojoAjeno {
  public:
    explicit CerrojoAjeno(const fs::path& ruta) {
#ifdef _WIN32
        h_ = ::CreateFileW(ruta.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
        OVERLAPPED o{};
        bloqueado_ = h_ != INVALID_HANDLE_VALUE && ::LockFileEx(h_, 0, 0, 1, 0, &o);
#else
        fd_ = ::open(ruta.c_str(), O_RDWR);
        bloqueado_ = fd_ >= 0 && ::lockf(fd_, F_TLOCK, 0) == 0;
#endif
    }
    ~CerrojoAjeno() {
#ifdef _WIN32
        ::CloseHandle(h_);
#else
        ::close(fd_);
#endif
    }
    CerrojoAjeno(const CerrojoAjeno&) = delete;
    CerrojoAjeno& operator=(const CerrojoAjeno&) = delete;
    bool bloqueado() const {
        return bloqueado_;
    }

  private:
#ifdef _WIN32
    HANDLE h_ = INVALID_HANDLE_VALUE;
#else
    int fd_ = -1;
#endif
    bool bloqueado_ = false;
};

std::map<std::string, std::string> contenidos(const fs::path& carpeta) {
    std::map<std::string, std::string> todo;
    for (const auto& f : fs::directory_iterator(carpeta)) {
        // Read as the layer reads, so that a file another run holds shows on Windows too.
        std::string bytes;
        leerTodo(desdeRuta(f.path()), bytes);
        todo[f.path().filename().string()] = bytes;
    }
    return todo;
}

// What a run ended by force leaves beside the list: a hidden list of its own that no one holds.
// A finished list of ours given that name again is one.
void dejarOculto(const fs::path& carpeta, const std::string& nombre) {
    EscritorAtomico e;
    ASSERT_FALSE(e.abrir(desdeRuta(carpeta / "hecha.txt")));
    ASSERT_FALSE(e.escribir("partial"));
    ASSERT_FALSE(e.confirmar());
    fs::rename(carpeta / "hecha.txt", carpeta / nombre);
}

TEST(EscritorAtomico, RemovesOnlyTheHiddenListsItLeftBehind) {
    prueba::CarpetaTemporal dir;
    const fs::path d = dir.ruta();
    const auto destino = d / "Mails_20050305.txt";
    std::vector<std::unique_ptr<CerrojoAjeno>> cerrojos;
    EscritorAtomico vivo;  // a run still writing the same day's list
    struct Caso {
        const char* que;
        std::string nombre;
        std::function<void(const std::string&)> hacer;
        bool queda;
    };
    const auto nuestro = [&](const std::string& n) { dejarOculto(d, n); };
    const auto delUsuario = [&](const std::string& n) { dir.escribir(n, "mine"); };
    const std::vector<Caso> casos = {
        {"left by a run ended by force", ".Mails_20050305.txt.abc12345", nuestro, false},
        {"another day's, left behind", ".Mails_20040101.txt.zz9zz9zz", nuestro, false},
        {"a user's file of that form", ".Mails_20231225.txt.original", delUsuario, true},
        {"a copy of one left behind", ".Mails_20050305.txt.copia001",
         [&](const std::string& n) {
             dejarOculto(d, ".Mails_20050305.txt.fuente01");
             fs::copy_file(d / ".Mails_20050305.txt.fuente01", d / n);
             fs::rename(d / ".Mails_20050305.txt.fuente01", d / "fuente");
         },
         true},
        {"left behind, then written by someone", ".Mails_20050305.txt.escrito1",
         [&](const std::string& n) {
             dejarOculto(d, n);
             std::ofstream(d / n, std::ios::app) << "more";
         },
         true},
        {"left behind with a second name", ".Mails_20050305.txt.segundo1",
         [&](const std::string& n) {
             dejarOculto(d, n);
             fs::create_hard_link(d / n, d / "segundo");
         },
         true},
        {"left behind, locked by another program", ".Mails_20050305.txt.cerrojo1",
         [&](const std::string& n) {
             dejarOculto(d, n);
             cerrojos.push_back(std::make_unique<CerrojoAjeno>(d / n));
             ASSERT_TRUE(cerrojos.back()->bloqueado());
         },
         true},
        {"left behind, and the input of this run", ".Mails_20050305.txt.entrada1", nuestro, true},
        {"of ours but of another form", ".Mails_20050305.txt.XYZ98765", nuestro, true},
    };
    ASSERT_FALSE(vivo.abrir(desdeRuta(destino)));
    ASSERT_FALSE(vivo.escribir("the live run's list"));
    for (const Caso& c : casos) {
        c.hacer(c.nombre);
    }

    EscritorAtomico e;
    ASSERT_FALSE(
        e.abrir(desdeRuta(destino), identidad(desdeRuta(d / ".Mails_20050305.txt.entrada1"))));
    for (const Caso& c : casos) {
        EXPECT_EQ(fs::exists(d / c.nombre), c.queda) << c.que;
    }
    // The live run's hidden list is still there to become its list.
    ASSERT_FALSE(vivo.confirmar());
    EXPECT_EQ(prueba::leer(destino), "the live run's list");
    ASSERT_FALSE(e.escribir("this run's list"));
    ASSERT_FALSE(e.confirmar());
    EXPECT_EQ(prueba::leer(destino), "this run's list");
}

// The working path as an earlier run or the user left it, and where the working copy goes.
TEST(ArchivoTrabajo, ReplacesOnlyItsOwnEarlierCopy) {
    const auto copiaNuestra = [](const fs::path& ruta) {
        ArchivoTrabajo t;
        ASSERT_FALSE(t.crear(desdeRuta(ruta), {}));
        ASSERT_EQ(t.ruta(), desdeRuta(ruta));
        ASSERT_FALSE(t.escribir("an earlier, longer working copy\r\n"));
        ASSERT_FALSE(t.cerrar());
    };
    struct Caso {
        const char* que;
        std::function<void(const fs::path& d)> hacer;
        std::string va;  // where the copy goes; empty: a file of this run's own beside it
        std::string nombre = "lista.txt";
        bool evitar = false;  // the file at the path is the input
    };
    std::unique_ptr<ArchivoTrabajo> otraRun;
    const std::vector<Caso> casos = {
        {"nothing there", [](const fs::path&) {}, "lista.txt"},
        {"an earlier copy of ours", [&](const fs::path& d) { copiaNuestra(d / "lista.txt"); },
         "lista.txt"},
        {"a user's file", [](const fs::path& d) { std::ofstream(d / "lista.txt") << "mine"; },
         "lista (2).txt"},
        {"a user's file without an extension",
         [](const fs::path& d) { std::ofstream(d / "notas") << "mine"; }, "notas (2)", "notas"},
        {"an earlier copy the user has since rewritten",
         [&](const fs::path& d) {
             copiaNuestra(d / "lista.txt");
             std::ofstream(d / "lista.txt") << "edited";
         },
         "lista (2).txt"},
        {"an earlier copy with a second name",
         [&](const fs::path& d) {
             copiaNuestra(d / "lista.txt");
             fs::create_hard_link(d / "lista.txt", d / "otro.txt");
         },
         "lista (2).txt"},
        {"an earlier copy that is the input",
         [&](const fs::path& d) { copiaNuestra(d / "lista.txt"); }, "lista (2).txt", "lista.txt",
         true},
        {"a user's file beside a user's file",
         [](const fs::path& d) {
             std::ofstream(d / "lista.txt") << "mine";
             std::ofstream(d / "lista (2).txt") << "mine too";
         },
         "lista (3).txt"},
        {"a user's file, and our copy beside it from the last run",
         [&](const fs::path& d) {
             std::ofstream(d / "lista.txt") << "mine";
             copiaNuestra(d / "lista (2).txt");
         },
         "lista (2).txt"},
        {"a copy another run is writing",
         [&](const fs::path& d) {
             otraRun = std::make_unique<ArchivoTrabajo>();
             ASSERT_FALSE(otraRun->crear(desdeRuta(d / "lista.txt"), {}));
             ASSERT_FALSE(otraRun->escribir("the other run's lines\r\n"));
         },
         ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        prueba::CarpetaTemporal dir;
        const fs::path ruta = dir.ruta() / c.nombre;
        c.hacer(dir.ruta());
        const auto antes = contenidos(dir.ruta());
        ArchivoTrabajo t;
        ASSERT_FALSE(t.crear(desdeRuta(ruta), c.evitar ? identidad(desdeRuta(ruta)) : Identidad{}));
        const fs::path escrito = aRuta(t.ruta());
        if (c.va.empty()) {
            EXPECT_TRUE(t.ruta().starts_with(desdeRuta(ruta) + u".")) << prueba::u8(t.ruta());
        } else {
            EXPECT_EQ(escrito, dir.ruta() / c.va);
        }
        ASSERT_FALSE(t.escribir("x@example.com\r\n"));
        ASSERT_FALSE(t.cerrar());
        if (otraRun) {
            ASSERT_FALSE(otraRun->cerrar());
            otraRun.reset();
        }
        // Only the copy's own file changed; one made beside a held copy went with it.
        auto despues = contenidos(dir.ruta());
        EXPECT_EQ(despues.count(escrito.filename().string()), c.va.empty() ? 0u : 1u);
        if (!c.va.empty()) {
            EXPECT_EQ(despues[c.va], "x@example.com\r\n");
            despues.erase(c.va);
        }
        for (const auto& [nombre, bytes] : antes) {
            if (nombre != c.va) {
                EXPECT_EQ(despues[nombre], bytes) << nombre;
            }
        }
    }
}

}  // namespace
}  // namespace tralmix::archivos
