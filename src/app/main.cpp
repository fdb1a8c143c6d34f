// tralmix: the desktop window.

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdlib>

#include "app/escritorio.h"
#include "app/principal.h"
#include "util/entorno.h"
#include "version.h"

int main(int argc, char* argv[]) {
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tralmix"));
    QApplication::setApplicationVersion(QStringLiteral(TRALMIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.example.Tralmix"));

    // Qt's own dialogs and buttons speak the desktop's language, as the system dialogs would.
    QTranslator traduccionQt;
    if (traduccionQt.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&traduccionQt);
    }

    // "tralmix FILE...", as the desktop's "Open with" starts it: the files make one list once the
    // window shows.
    QCommandLineParser opciones;
    opciones.setApplicationDescription(QStringLiteral(TRALMIX_DESCRIPTION));
    opciones.addHelpOption();
    opciones.addVersionOption();
    opciones.addPositionalArgument(
        QStringLiteral("archivo"),
        QStringLiteral("Archivos de direcciones (.txt, .ctt, contactos o correos guardados) que se "
                       "procesan al abrir la ventana; varios dan una sola lista."),
        QStringLiteral("[archivo...]"));
    opciones.process(aplicacion);

    tralmix::EscritorioQt escritorio;
    tralmix::principal ventana(escritorio);
    ventana.ajustarAvance(tralmix::entorno::ajustesAvance());
    QApplication::setWindowIcon(ventana.windowIcon());
    ventana.centrar();
    if (!opciones.positionalArguments().isEmpty()) {
        ventana.procesarAlMostrar(tralmix::archivosDeArgumentos(opciones.positionalArguments()));
    }
    ventana.show();
    // Focus on "..." from the first moment, even where no window manager hands it over.
    ventana.activateWindow();
    return QApplication::exec();
}
