#pragma once

#include <string>
#include <vector>

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace tralmix {

// The help file of a program in carpetaPrograma: beside the program, or in the shared data folder
// of an installed program; empty when neither exists.
QString buscarAyuda(const QString& carpetaPrograma);
// The first page of the same help as HTML, looked for in the same two places; empty when missing.
QString buscarAyudaHtml(const QString& carpetaPrograma);

// Files handed to the window (dropped on it, or named on the command line) as paths; an address
// that names no local file becomes a path no run takes.
std::vector<std::u16string> rutasDe(const QList<QUrl>& archivos);

// The command line's file arguments as files: a path (relative to the current folder) or a
// file: address.
QList<QUrl> archivosDeArgumentos(const QStringList& argumentos);

}  // namespace tralmix
