// Where the window finds its files: the help beside the program or where a package installs it,
// and the files handed to it by a drop or the command line.

#include "app/rutas.h"

#include <QDir>
#include <QFileInfo>

#include "dialog/qtexto.h"
#include "util/cadenas.h"
#include "ventana/diseno.h"

namespace tralmix {
namespace {

bool existe(const QString& ruta) {
    return existeArchivo(ruta.toStdU16String());
}

// A file beside the program, or in the shared data folder of an installed program.
QString buscarJuntoOInstalado(const QString& carpetaPrograma, const QString& nombre) {
    QString carpeta = carpetaPrograma;
    if (!carpeta.endsWith(u'/')) {
        carpeta += u'/';
    }
    QString junto = carpeta + nombre;
    if (existe(junto)) {
        return junto;
    }
    // An installed program lives in <prefix>/bin and its data in <prefix>/share/tralmix.
    QString instalado = QDir::cleanPath(carpeta + QStringLiteral("../share/tralmix/") + nombre);
    if (existe(instalado)) {
        return instalado;
    }
    return {};
}

}  // namespace

QString buscarAyuda(const QString& carpetaPrograma) {
    return buscarJuntoOInstalado(carpetaPrograma, qtexto(vista::kArchivoAyuda));
}

QString buscarAyudaHtml(const QString& carpetaPrograma) {
    return buscarJuntoOInstalado(carpetaPrograma, qtexto(vista::kAyudaHtml));
}

std::vector<std::u16string> rutasDe(const QList<QUrl>& archivos) {
    std::vector<std::u16string> rutas;
    for (const QUrl& archivo : archivos) {
        rutas.push_back(archivo.isLocalFile() ? archivo.toLocalFile().toStdU16String()
                                              : std::u16string());
    }
    return rutas;
}

QList<QUrl> archivosDeArgumentos(const QStringList& argumentos) {
    QList<QUrl> archivos;
    for (const QString& argumento : argumentos) {
        const QUrl direccion(argumento);
        archivos.append(direccion.isLocalFile()
                            ? direccion
                            : QUrl::fromLocalFile(QFileInfo(argumento).absoluteFilePath()));
    }
    return archivos;
}

}  // namespace tralmix
