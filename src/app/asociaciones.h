#pragma once

// Which programs the desktop has for a file type, read the way the desktop's own opener reads
// it (the XDG MIME applications lists and caches), so the window can tell beforehand whether a
// file would open at all.

#include <QString>
#include <QStringList>

namespace tralmix {

struct CarpetasEscritorio {
    QStringList configuracion;  // the user's configuration folder first, then the system's
    QStringList aplicaciones;   // the user's applications folder first, then the system's
    QStringList escritorios;    // the current desktop's names, in lower case

    // The folders and desktop of this session.
    static CarpetasEscritorio actuales();
};

// The MIME type of the file (by name, then content) with its aliases.
QStringList tiposDeArchivo(const QString& archivo);

// Whether an installed program is associated with one of the MIME types tipos and not removed
// from it again.
bool hayProgramaPara(const QStringList& tipos, const CarpetasEscritorio& carpetas);

}  // namespace tralmix
