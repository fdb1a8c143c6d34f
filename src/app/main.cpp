// tralmix: the desktop window.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/escritorio.h"
#include "app/principal.h"

int main(int argc, char* argv[]) {
#if defined(__GLIBC__)
    // Large runs free their megabyte pieces back to the system (see tralmix-cli).
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
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

    tralmix::EscritorioQt escritorio;
    tralmix::principal ventana(escritorio);
    QApplication::setWindowIcon(ventana.windowIcon());
    ventana.centrar();
    ventana.show();
    return QApplication::exec();
}
