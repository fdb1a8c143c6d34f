// tralmix: the desktop window.

#include <QApplication>

#include "app/escritorio.h"
#include "app/principal.h"

int main(int argc, char* argv[]) {
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tralmix"));
    QApplication::setApplicationVersion(QStringLiteral(TRALMIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.example.Tralmix"));

    tralmix::EscritorioQt escritorio;
    tralmix::principal ventana(escritorio);
    QApplication::setWindowIcon(ventana.windowIcon());
    ventana.centrar();
    ventana.show();
    return QApplication::exec();
}
