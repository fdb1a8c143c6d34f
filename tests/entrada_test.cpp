#include "extract/entrada.h"

#include <gtest/gtest.h>

#include "azar.h"
#include "puerto_falso.h"
#include "util/afinado.h"
#include "util/texto.h"

namespace tralmix {
namespace {

using namespace std::string_literals;

// Everything the pieces give, as the run sees it (a new start drops what came before); and
// whether each piece ended just after a line end, never between a CR and its LF.
struct Lectura {
    std::string texto;
    int deNuevo = 0;
    bool cortesBuenos = true;
};

Lectura leer(const std::filesystem::path& ruta) {
    LectorTexto lector;
    EXPECT_FALSE(lector.abrir(archivos::desdeRuta(ruta)));
    Lectura l;
    for (;;) {
        LectorTexto::Paso paso = LectorTexto::Paso::Fin;
        std::string_view pieza;
        EXPECT_FALSE(lector.siguiente(paso, pieza));
        if (paso == LectorTexto::Paso::Fin) {
            break;
        }
        if (paso == LectorTexto::Paso::DeNuevo) {
            ++l.deNuevo;
            l.texto.clear();
            continue;
        }
        l.cortesBuenos =
            l.cortesBuenos && !pieza.empty() &&
            (pieza.back() == '\n' || pieza.back() == '\r' || lector.leidos() == lector.tamano());
        if (!l.texto.empty() && l.texto.back() == '\r' && pieza.front() == '\n') {
            l.cortesBuenos = false;
        }
        l.texto += pieza;
    }
    EXPECT_EQ(lector.leidos(), lector.tamano());
    return l;
}

// The pieces put together are the whole file decoded at once, whatever the encoding and wherever
// the pieces end: lines longer than a piece, line ends of every kind at the piece boundaries, a
// byte late in the file that is not UTF-8.
TEST(LectorTexto, PiecesAreTheWholeTextDecoded) {
    prueba::CarpetaTemporal dir;
    prueba::Azar azar;
    const std::vector<std::string> piezas = {"a@x.org",          "\r\n", "\r",   "\n", "\xC3\xA9",
                                             "\xF0\x9F\x98\x80", " ",    "linea"};
    const std::size_t trozo = afinado::kTrozo;
    struct Caso {
        const char* que;
        std::string bytes;
        int deNuevo;
    };
    std::string grande;
    while (grande.size() < 3 * trozo) {
        grande += azar.juntar(piezas, 50);
    }
    std::string crEnElBorde(trozo - 1, 'x');
    crEnElBorde += "\r\nfin";
    const std::vector<Caso> casos = {
        {"empty", "", 0},
        {"only a byte-order mark", "\xEF\xBB\xBF", 0},
        {"byte-order mark and text",
         "\xEF\xBB\xBF"
         "a\r\nb",
         0},
        {"mixed line ends over several pieces", grande, 0},
        {"CR LF across the first piece's end", crEnElBorde, 0},
        {"one line longer than two pieces", std::string(2 * trozo + 5, 'l') + "\nx", 0},
        {"late byte that is not UTF-8",
         grande + "Pe\xF1"
                  "a\r\n",
         1},
        {"UTF-16 with its mark",
         "\xFF\xFE"
         "a\0\r\0\n\0\xE9\0"s,
         0},
    };
    for (const Caso& c : casos) {
        const Lectura l = leer(dir.escribir("entrada.txt", c.bytes));
        EXPECT_TRUE(l.texto == texto::decodificarUtf8(c.bytes)) << c.que;
        EXPECT_EQ(l.deNuevo, c.deNuevo) << c.que;
        EXPECT_TRUE(l.cortesBuenos) << c.que;
    }
}

TEST(LectorTexto, EveryLineOfAPieceOnce) {
    std::vector<std::string> lineas;
    paraCadaLinea("a\r\nb\rc\n\r\nd", [&](std::string_view l) { lineas.emplace_back(l); });
    EXPECT_EQ(lineas, (std::vector<std::string>{"a", "b", "c", "", "d"}));
}

}  // namespace
}  // namespace tralmix
