#include "app/asociaciones.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tralmix {
namespace {

const QString kChm = QStringLiteral("application/vnd.ms-htmlhelp");

TEST(Asociaciones, AProgramCountsWhenListedInstalledAndNotRemoved) {
    const QString visor = QStringLiteral("visor.desktop");
    const QString cache =
        QStringLiteral("[MIME Cache]\n") + kChm + u'=' + visor + QStringLiteral(";\n");
    const struct {
        const char* caso;
        QString archivoDeUsuario;  // the user's mimeapps.list
        QString cacheDelSistema;   // the system's mimeinfo.cache
        bool instalado;            // the system has visor.desktop
        QStringList tipos;
        bool esperado;
    } casos[] = {
        {"nothing registered", {}, {}, true, {kChm}, false},
        {"declared by the installed program", {}, cache, true, {kChm}, true},
        {"declared, but the program is gone", {}, cache, false, {kChm}, false},
        {"declared, then removed by the user",
         QStringLiteral("[Removed Associations]\n") + kChm + u'=' + visor,
         cache,
         true,
         {kChm},
         false},
        {"the user's default",
         QStringLiteral("[Default Applications]\n") + kChm + u'=' + visor,
         {},
         true,
         {kChm},
         true},
        {"the user's added one",
         QStringLiteral("# mine\n[Added Associations]\n") + kChm +
             QStringLiteral(" = otro.desktop;visor.desktop"),
         {},
         true,
         {kChm},
         true},
        {"registered for another type", {}, cache, true, {QStringLiteral("text/plain")}, false},
        {"registered under an alias",
         {},
         cache,
         true,
         {QStringLiteral("application/x-chm"), kChm},
         true},
    };
    for (const auto& c : casos) {
        QTemporaryDir raiz;
        const CarpetasEscritorio carpetas{
            {raiz.path() + QStringLiteral("/config")},
            {raiz.path() + QStringLiteral("/usuario"), raiz.path() + QStringLiteral("/sistema")},
            {QStringLiteral("gnome")}};
        for (const QString& carpeta : carpetas.configuracion + carpetas.aplicaciones) {
            QDir().mkpath(carpeta);
        }
        auto escribir = [](const QString& ruta, const QString& texto) {
            QFile archivo(ruta);
            ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
            archivo.write(texto.toUtf8());
        };
        escribir(carpetas.configuracion[0] + QStringLiteral("/mimeapps.list"), c.archivoDeUsuario);
        escribir(carpetas.aplicaciones[1] + QStringLiteral("/mimeinfo.cache"), c.cacheDelSistema);
        if (c.instalado) {
            escribir(carpetas.aplicaciones[1] + u'/' + visor, QStringLiteral("[Desktop Entry]\n"));
        }
        EXPECT_EQ(hayProgramaPara(c.tipos, carpetas), c.esperado) << c.caso;
    }
}

}  // namespace
}  // namespace tralmix
