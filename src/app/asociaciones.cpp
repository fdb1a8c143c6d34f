#include "app/asociaciones.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>

namespace tralmix {

namespace {

// One list file: group, then key, then its ";"-separated values.
using Grupos = QHash<QString, QHash<QString, QStringList>>;

// The lists are read by hand: QSettings would take the "/" of every MIME type for a subgroup.
Grupos leerLista(const QString& ruta) {
    Grupos grupos;
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return grupos;
    }
    QString grupo;
    while (!archivo.atEnd()) {
        const QString linea = QString::fromUtf8(archivo.readLine()).trimmed();
        if (linea.isEmpty() || linea.startsWith(u'#')) {
            continue;
        }
        if (linea.startsWith(u'[') && linea.endsWith(u']')) {
            grupo = linea.mid(1, linea.size() - 2);
            continue;
        }
        const auto igual = linea.indexOf(u'=');
        if (igual <= 0) {
            continue;
        }
        QStringList ids;
        for (const QString& id : linea.mid(igual + 1).split(u';', Qt::SkipEmptyParts)) {
            ids.append(id.trimmed());
        }
        grupos[grupo][linea.left(igual).trimmed()] = ids;
    }
    return grupos;
}

QStringList valores(const Grupos& grupos, const QString& grupo, const QStringList& tipos) {
    QStringList ids;
    const auto g = grupos.constFind(grupo);
    if (g == grupos.constEnd()) {
        return ids;
    }
    for (const QString& tipo : tipos) {
        ids.append(g->value(tipo));
    }
    return ids;
}

bool instalado(const QString& id, const QStringList& aplicaciones) {
    for (const QString& carpeta : aplicaciones) {
        if (QFileInfo(carpeta + u'/' + id).isFile()) {
            return true;
        }
        // The id "vendor-name.desktop" also names the file name.desktop in the subfolder vendor.
        for (auto guion = id.indexOf(u'-'); guion > 0; guion = id.indexOf(u'-', guion + 1)) {
            QString enSubcarpeta = id;
            enSubcarpeta[guion] = u'/';
            if (QFileInfo(carpeta + u'/' + enSubcarpeta).isFile()) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

CarpetasEscritorio CarpetasEscritorio::actuales() {
    CarpetasEscritorio carpetas;
    carpetas.configuracion =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    carpetas.aplicaciones = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString& nombre :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts)) {
        carpetas.escritorios.append(nombre.toLower());
    }
    return carpetas;
}

QStringList tiposDeArchivo(const QString& archivo) {
    const QMimeType tipo = QMimeDatabase().mimeTypeForFile(archivo);
    if (!tipo.isValid() || tipo.isDefault()) {
        return {};
    }
    return QStringList{tipo.name()} + tipo.aliases();
}

bool hayProgramaPara(const QStringList& tipos, const CarpetasEscritorio& carpetas) {
    // The lists from the strongest to the weakest: the desktop's own before the general one,
    // configuration before the applications folders. A removal holds for the weaker ones.
    QStringList listas;
    auto agregar = [&](const QString& carpeta) {
        for (const QString& escritorio : carpetas.escritorios) {
            listas.append(carpeta + u'/' + escritorio + QStringLiteral("-mimeapps.list"));
        }
        listas.append(carpeta + QStringLiteral("/mimeapps.list"));
    };
    for (const QString& carpeta : carpetas.configuracion) {
        agregar(carpeta);
    }
    for (const QString& carpeta : carpetas.aplicaciones) {
        agregar(carpeta);
        listas.append(carpeta + QStringLiteral("/defaults.list"));  // older name, still written
    }

    QSet<QString> quitados;
    auto algunoVale = [&](const QStringList& ids) {
        for (const QString& id : ids) {
            if (!quitados.contains(id) && instalado(id, carpetas.aplicaciones)) {
                return true;
            }
        }
        return false;
    };
    for (const QString& lista : listas) {
        const Grupos grupos = leerLista(lista);
        if (algunoVale(valores(grupos, QStringLiteral("Default Applications"), tipos)) ||
            algunoVale(valores(grupos, QStringLiteral("Added Associations"), tipos))) {
            return true;
        }
        for (const QString& id : valores(grupos, QStringLiteral("Removed Associations"), tipos)) {
            quitados.insert(id);
        }
    }
    // The caches hold what the installed programs declare for themselves.
    for (const QString& carpeta : carpetas.aplicaciones) {
        const Grupos cache = leerLista(carpeta + QStringLiteral("/mimeinfo.cache"));
        if (algunoVale(valores(cache, QStringLiteral("MIME Cache"), tipos))) {
            return true;
        }
    }
    return false;
}

}  // namespace tralmix
