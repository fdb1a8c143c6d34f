// The command's pieces: its options and its progress line.

#include <gtest/gtest.h>

#include <cstdio>

#include "cli/opciones.h"
#include "cli/progreso.h"

namespace tralmix::cli {
namespace {

TEST(Opciones, UsageErrorsAndValues) {
    using A = std::vector<std::string>;
    for (const A& mal :
         {A{}, A{"--frob", "a.txt"}, A{"-", "a.txt", "-"}, A{"--date", "2025-02-29", "a"},
          A{"a.txt", "--date"}, A{"--output-dir=", "a.txt"}, A{"--quiet", "--progress", "a"},
          A{"--"}, A{"a.txt", "--excluir"}, A{"--excluir", "-", "a.txt"},
          A{"--informe", "i.json", "--informe=j.json", "a.txt"}, A{"a.txt", ""}}) {
        const auto r = leerOpciones(mal);
        ASSERT_TRUE(std::holds_alternative<Respuesta>(r)) << mal.size();
        EXPECT_EQ(std::get<Respuesta>(r).estado, kSalidaUso);
        EXPECT_TRUE(std::get<Respuesta>(r).salida.empty());
    }
    const auto r = leerOpciones({"--date", "2024-02-29", "--quiet", "--open", "--", "-x.txt"});
    ASSERT_TRUE(std::holds_alternative<Opciones>(r));
    const Opciones& o = std::get<Opciones>(r);
    ASSERT_EQ(o.entradas.size(), 1u);
    EXPECT_TRUE(o.entradas[0].ends_with(u"-x.txt") && o.entradas[0].size() > 6);
    EXPECT_EQ(o.fecha->dia, 29u);
    EXPECT_TRUE(o.abrir);
    EXPECT_EQ(o.progreso, MostrarProgreso::Nunca);
    EXPECT_EQ(std::get<Opciones>(leerOpciones({"--progress", "a"})).progreso,
              MostrarProgreso::Siempre);
    EXPECT_EQ(std::get<Respuesta>(leerOpciones({"--version"})).salida,
              "tralmix 2.00\nCreador de lista de correos\n");
    // The short forms as whole words only; "-" is standard input, "-x" and "-q" after "--" files.
    EXPECT_EQ(std::get<Respuesta>(leerOpciones({"-V"})).salida,
              std::get<Respuesta>(leerOpciones({"--version"})).salida);
    EXPECT_EQ(std::get<Respuesta>(leerOpciones({"-h"})).salida,
              std::get<Respuesta>(leerOpciones({"--help"})).salida);
    const Opciones corto = std::get<Opciones>(leerOpciones({"-q", "-"}));
    EXPECT_EQ(corto.progreso, MostrarProgreso::Nunca);
    EXPECT_TRUE(corto.entradaEstandar && corto.entradas == std::vector<std::u16string>{u""});
    const Opciones archivo = std::get<Opciones>(leerOpciones({"--", "-q"}));
    EXPECT_EQ(archivo.progreso, MostrarProgreso::Automatico);
    EXPECT_TRUE(archivo.entradas.at(0).ends_with(u"-q"));
    EXPECT_FALSE(std::get<Opciones>(leerOpciones({"-x"})).entradaEstandar);

    // Several inputs in their order, standard input's place kept; one file after each --excluir.
    const Opciones varias = std::get<Opciones>(
        leerOpciones({"--excluir", "b.txt", "a.txt", "--excluir=c.txt", "-", "--depurar", "d.txt",
                      "--resumen", "--informe", "i.json"}));
    auto termina = [](const std::vector<std::u16string>& rutas) {
        std::vector<std::u16string> nombres;
        for (const std::u16string& ruta : rutas) {
            nombres.push_back(ruta.empty() ? ruta : ruta.substr(ruta.find_last_of(u"/\\") + 1));
        }
        return nombres;
    };
    EXPECT_EQ(termina(varias.entradas), (std::vector<std::u16string>{u"a.txt", u"", u"d.txt"}));
    EXPECT_TRUE(varias.entradaEstandar);
    EXPECT_EQ(termina(varias.exclusiones), (std::vector<std::u16string>{u"b.txt", u"c.txt"}));
    EXPECT_TRUE(varias.informe && varias.informe->ends_with(u"i.json") &&
                varias.informe->size() > 6);
    EXPECT_TRUE(varias.resumen && varias.depurar);
}

// Nothing before half a second; then one line redrawn in place, at most ten times a second, and
// wiped at the end.
TEST(LineaProgreso, OnlyForRunsThatLast) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    double ahora = 0;
    LineaProgreso linea(f, true, std::chrono::milliseconds(500), [&] { return ahora; });
    linea.actualizar(Fase::Limpieza, 10'000'000, 100'000'000);
    ahora = 0.6;
    linea.actualizar(Fase::Limpieza, 60'000'000, 100'000'000);
    ahora = 0.65;
    linea.actualizar(Fase::Limpieza, 65'000'000, 100'000'000);  // too soon to redraw
    ahora = 0.8;
    linea.actualizar(Fase::Orden, 1, 4);
    linea.borrar();
    std::rewind(f);
    std::string escrito(256, '\0');
    escrito.resize(std::fread(escrito.data(), 1, escrito.size(), f));
    std::fclose(f);
    const std::string primera = "\r" + textoProgreso(Fase::Limpieza, 60'000'000, 100'000'000, 1e8);
    EXPECT_EQ(escrito.rfind(primera, 0), 0u) << escrito;
    EXPECT_EQ(primera, "\rLimpiando  60 %  100.0 MB/s");
    EXPECT_NE(escrito.find("\rOrdenando  25 %"), std::string::npos);
    EXPECT_EQ(escrito.find("65 %"), std::string::npos);
    EXPECT_TRUE(escrito.ends_with("\r")) << escrito;
}

}  // namespace
}  // namespace tralmix::cli
