#include "extract/mensajes.h"

#include <gtest/gtest.h>

#include <functional>

#include "util/cadenas.h"

namespace tralmix {
namespace {

// What every progress display shows, as the run's reports come: the file's name without its
// folder, "Procesando..." before the first report, the phase, its share only where the bar shows
// no number, and "Cancelando..." once the stop was asked for, without a share.
TEST(Progreso, TheTextsOfEveryDisplay) {
    const std::u16string ruta = std::u16string(u"datos") + kSeparador + u"lista.txt";
    struct Caso {
        std::function<void(Progreso&)> paso;
        std::u16string_view estado;
        std::u16string_view conCifra;  // the second line of texto(true)
    };
    const Caso casos[] = {
        {[](Progreso&) {}, u"Procesando...", u"Procesando..."},
        {[](Progreso& p) { p.avanzar(Fase::Limpieza, 1, 4); }, u"Limpiando...",
         u"Limpiando... 25 %"},
        // A total not known yet has no share.
        {[](Progreso& p) { p.avanzar(Fase::Orden, 5, 0); }, u"Ordenando...", u"Ordenando..."},
        {[](Progreso& p) { p.avanzar(Fase::Escritura, 999, 1000); }, u"Escribiendo la lista...",
         u"Escribiendo la lista... 99 %"},
        {[](Progreso& p) {
             p.avanzar(Fase::Carga, 1, 2);
             p.cancelando = true;
             p.avanzar(Fase::Orden, 1, 2);
         },
         u"Cancelando...", u"Cancelando..."},
    };
    for (const Caso& c : casos) {
        Progreso p;
        p.cancelando = true;  // left from an earlier run
        p.avanzar(Fase::Carga, 3, 4);
        p.empezar(ruta);
        c.paso(p);
        EXPECT_EQ(p.estado(), c.estado);
        EXPECT_EQ(p.texto(false), u"Archivo: lista.txt\r\n" + std::u16string(c.estado));
        EXPECT_EQ(p.texto(true), u"Archivo: lista.txt\r\n" + std::u16string(c.conCifra));
    }
    EXPECT_EQ(textoPorcentaje(1000), u"100 %");
    EXPECT_EQ(textoPorcentaje(9), u"0 %");
}

}  // namespace
}  // namespace tralmix
