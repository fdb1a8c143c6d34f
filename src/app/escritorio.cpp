#include "app/escritorio.h"

#include "app/opciones_lista.h"

#include "app/asociaciones.h"
#include "dialog/qtexto.h"
#include "util/entorno.h"

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

QString EscritorioQt::abrir(const QUrl& destino) {
    const QString texto = destino.isLocalFile() ? destino.toLocalFile() : destino.toString();
    return qtexto(entorno::abrir(texto.toStdU16String()));
}

QString EscritorioQt::carpetaPrograma() const {
    return qtexto(entorno::carpetaPrograma());
}

QString EscritorioQt::carpetaResultado() const {
    return qtexto(entorno::carpetaPersonal());
}

QString EscritorioQt::carpetaTemporal() const {
    return qtexto(entorno::carpetaTemporal());
}

QDate EscritorioQt::hoy() const {
    const Fecha hoy = entorno::hoy();
    return QDate(hoy.anio, static_cast<int>(hoy.mes), static_cast<int>(hoy.dia));
}

bool EscritorioQt::hayVisor(const QString& archivo) const {
    return hayProgramaPara(tiposDeArchivo(archivo), CarpetasEscritorio::actuales());
}

std::unique_ptr<Temporizador> Escritorio::temporizador() {
    return std::make_unique<TemporizadorQt>();
}

bool Escritorio::pedirOpcionesLista(QWidget* dueno, OpcionesVentana& opciones) {
    const auto elegir = [this](QWidget* sobre) {
        const RespuestaDialogo respuesta =
            mostrarDialogo(selector(), avisos(),
                           ajustesAgregar(static_cast<std::uintptr_t>(sobre->winId()),
                                          carpetaResultado().toStdU16String()));
        if (!respuesta.elegido) {
            return std::vector<std::u16string>();
        }
        return respuesta.rutas.empty() ? std::vector<std::u16string>{respuesta.ruta}
                                       : respuesta.rutas;
    };
    DialogoOpciones dialogo(opciones, elegir, dueno);
    if (dialogo.exec() != QDialog::Accepted) {
        return false;
    }
    opciones = dialogo.opciones();
    return true;
}

OpcionesVentana EscritorioQt::opcionesLista() const {
    return leerOpcionesGuardadas();
}

void EscritorioQt::guardarOpcionesLista(const OpcionesVentana& opciones) {
    guardarOpciones(opciones);
}

}  // namespace tralmix
