#include "app/escritorio.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

#include "app/asociaciones.h"

namespace tralmix {

QMessageBox::Icon iconoDeEstilo(Estilo estilo) {
    switch (estilo) {
        case Estilo::Critico:
            return QMessageBox::Critical;
        case Estilo::Exclamacion:
            return QMessageBox::Warning;
        case Estilo::Informacion:
            return QMessageBox::Information;
        case Estilo::Ninguno:
            break;
    }
    return QMessageBox::NoIcon;
}

QString textoCaja(const QString& texto) {
    QString resultado = texto;
    resultado.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    resultado.replace(u'\r', u'\n');
    return resultado;
}

void EscritorioQt::mensaje(QWidget* dueno, const QString& texto, Estilo estilo,
                           const QString& titulo) {
    QMessageBox caja(iconoDeEstilo(estilo), titulo, textoCaja(texto), QMessageBox::Ok, dueno);
    caja.setTextFormat(Qt::PlainText);
    // The text names the written file; the user may want to copy that path.
    caja.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    caja.exec();
}

void EscritorioQt::abrir(const QUrl& destino) {
    QDesktopServices::openUrl(destino);
}

QString EscritorioQt::carpetaPrograma() const {
    return QCoreApplication::applicationDirPath();
}

QString EscritorioQt::carpetaResultado() const {
    return QDir::homePath();
}

QString EscritorioQt::carpetaTemporal() const {
    return QDir::tempPath();
}

QDate EscritorioQt::hoy() const {
    return QDate::currentDate();
}

bool EscritorioQt::hayVisor(const QString& archivo) const {
    return hayProgramaPara(tiposDeArchivo(archivo), CarpetasEscritorio::actuales());
}

std::unique_ptr<Temporizador> Escritorio::temporizador() {
    return std::make_unique<TemporizadorQt>();
}

}  // namespace tralmix
