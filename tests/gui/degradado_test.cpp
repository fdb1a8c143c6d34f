#include <gtest/gtest.h>

#include <QImage>

#include "app/degradado.h"

namespace tralmix {
namespace {

const Color kInicio = colorRGB(13, 99, 186);
const Color kFin = colorRGB(0, 0, 61);

TEST(Degradado, BandsOfTheWindowMatchTheKnownRows) {
    const auto bandas = bandasDegradado(517, 172, kInicio, kFin);
    ASSERT_EQ(bandas.size(), 64u);
    const struct {
        int banda, arriba, abajo, rojo, verde, azul;
    } filas[] = {
        {0, 0, 3, 13, 99, 186},   {1, 3, 5, 13, 97, 184},
        {2, 5, 8, 13, 96, 182},   {32, 86, 89, 6, 50, 124},  // 6.5 rounds to the even 6
        {63, 169, 172, 0, 2, 63},
    };
    for (const auto& f : filas) {
        const Banda& b = bandas[static_cast<std::size_t>(f.banda)];
        EXPECT_EQ(b.arriba, f.arriba) << "band " << f.banda;
        EXPECT_EQ(b.abajo, f.abajo) << "band " << f.banda;
        EXPECT_EQ(b.derecha, 517);
        EXPECT_EQ(b.rojo, f.rojo) << "band " << f.banda;
        EXPECT_EQ(b.verde, f.verde) << "band " << f.banda;
        EXPECT_EQ(b.azul, f.azul) << "band " << f.banda;
    }
}

TEST(Degradado, BandsTileTheAreaWithoutGapsForAnyHeight) {
    for (int alto : {172, 100, 64, 63, 40, 1, 0}) {
        const auto bandas = bandasDegradado(10, alto, kInicio, kFin);
        EXPECT_EQ(bandas.front().arriba, 0);
        EXPECT_EQ(bandas.back().abajo, alto) << "height " << alto;
        for (std::size_t i = 1; i < bandas.size(); ++i) {
            EXPECT_EQ(bandas[i].arriba, bandas[i - 1].abajo) << "height " << alto;
            EXPECT_LE(bandas[i].arriba, bandas[i].abajo);
        }
    }
}

TEST(Degradado, ShortAreasLeaveEmptyBandsAndZeroRowsPaintNothing) {
    const auto bajas = bandasDegradado(10, 40, kInicio, kFin);
    int vacias = 0;
    for (const Banda& b : bajas) {
        vacias += b.arriba == b.abajo ? 1 : 0;
    }
    EXPECT_EQ(vacias, 64 - 40);

    for (const Banda& b : bandasDegradado(10, 0, kInicio, kFin)) {
        EXPECT_EQ(b.arriba, 0);
        EXPECT_EQ(b.abajo, 0);
    }
    QImage vacia;
    pintarDegradado(vacia, kInicio, kFin);
    EXPECT_TRUE(vacia.isNull());
}

TEST(Degradado, EqualColoursGiveOneColourAndRisingChannelsGrow) {
    for (const Banda& b : bandasDegradado(10, 172, colorRGB(40, 80, 120), colorRGB(40, 80, 120))) {
        EXPECT_EQ(b.rojo, 40);
        EXPECT_EQ(b.verde, 80);
        EXPECT_EQ(b.azul, 120);
    }
    const auto sube = bandasDegradado(10, 172, colorRGB(0, 10, 200), colorRGB(255, 74, 200));
    for (std::size_t i = 1; i < sube.size(); ++i) {
        EXPECT_GE(sube[i].rojo, sube[i - 1].rojo);
        EXPECT_GE(sube[i].verde, sube[i - 1].verde);
        EXPECT_EQ(sube[i].azul, 200);
    }
    // The end colour itself is one step beyond the last band.
    EXPECT_EQ(sube.back().rojo, 251);
    EXPECT_EQ(sube.back().verde, 73);
    EXPECT_EQ(sube.front().rojo, 0);
}

TEST(Degradado, PaintedImageShowsEachBandOverItsRows) {
    QImage imagen(517, 172, QImage::Format_RGB32);
    imagen.fill(Qt::black);
    pintarDegradado(imagen, kInicio, kFin);
    for (const Banda& b : bandasDegradado(517, 172, kInicio, kFin)) {
        for (int fila : {b.arriba, b.abajo - 1}) {
            for (int columna : {0, 516}) {
                EXPECT_EQ(QColor(imagen.pixel(columna, fila)), QColor(b.rojo, b.verde, b.azul))
                    << "row " << fila << " column " << columna;
            }
        }
    }
}

}  // namespace
}  // namespace tralmix
