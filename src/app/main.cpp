// tralmix: the desktop window.

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <string_view>

#include "app/escritorio.h"
#include "app/principal.h"
#include "util/entorno.h"
#include "version.h"

namespace {

void nombrar() {
    QCoreApplication::setApplicationName(QStringLiteral("Tralmix"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRALMIX_VERSION));
}

// "tralmix FILE...", as the desktop's "Open with" starts it: the files make one list once the
// window shows.
void describir(QCommandLineParser& opciones) {
    opciones.setApplicationDescription(QStringLiteral(TRALMIX_DESCRIPTION));
    opciones.addHelpOption();
    opciones.addVersionOption();
    opciones.addPositionalArgument(
        QStringLiteral("archivo"),
        QStringLiteral("Archivos de direcciones (.txt, .ctt, contactos o correos guardados) que se "
                       "procesan al abrir la ventana; varios dan una sola lista."),
        QStringLiteral("[archivo...]"));
}

// --help and --version only print: they must answer without a display (a terminal over ssh, the
// package's man pages made at build time), which a window's application cannot start without.
bool soloTexto(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argumento = argv[i];
        if (argumento == "--") {
            return false;
        }
        if (argumento == "-h" || argumento == "-?" || argumento == "--help" ||
            argumento == "--help-all" || argumento == "-v" || argumento == "--version") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (soloTexto(argc, argv)) {
        const QCoreApplication texto(argc, argv);
        nombrar();
        QCommandLineParser opciones;
        describir(opciones);
        opciones.process(texto);  // prints and exits
        return 0;
    }

    QApplication aplicacion(argc, argv);
    nombrar();
    QApplication::setDesktopFileName(QStringLiteral("org.example.Tralmix"));

    // Qt's own dialogs and buttons speak the desktop's language, as the system dialogs would.
    QTranslator traduccionQt;
    if (traduccionQt.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&traduccionQt);
    }

    QCommandLineParser opciones;
    describir(opciones);
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
