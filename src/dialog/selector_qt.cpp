#include "dialog/selector_qt.h"

#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

#include "dialog/qtexto.h"

namespace tralmix {

namespace {

// The proposed name is the buffer up to its first NUL.
QString hastaNulo(const std::u16string& bufer) {
    return qtexto(std::u16string_view(bufer).substr(0, bufer.find(u'\0')));
}

}  // namespace

QString filtroQt(const ParFiltro& par) {
    QStringList patrones;
    for (const QString& patron : qtexto(par.patron).split(u';', Qt::SkipEmptyParts)) {
        const QString limpio = patron.trimmed();
        if (!limpio.isEmpty()) {
            patrones.append(limpio);
        }
    }
    if (patrones.isEmpty()) {
        patrones.append(QStringLiteral("*"));
    }
    // Qt reads the patterns from the last parentheses, so a description that names its own
    // patterns in parentheses stays as the user sees it.
    return qtexto(par.descripcion).trimmed() + QStringLiteral(" (") + patrones.join(u' ') +
           QStringLiteral(")");
}

PlanSelector planSelector(const RegistroLlamada& registro, bool abrir) {
    PlanSelector plan;
    plan.abrir = abrir;
    plan.titulo = registro.lpstrTitle ? qtexto(*registro.lpstrTitle) : QString();
    if (registro.lpstrInitialDir) {
        plan.carpeta = qtexto(*registro.lpstrInitialDir);
    }
    plan.nombrePropuesto = hastaNulo(registro.lpstrFile);
    for (const ParFiltro& par : paresFiltro(registro.lpstrFilter)) {
        plan.filtros.append(filtroQt(par));
    }
    if (!plan.filtros.isEmpty()) {
        // Index 0 and 1 both mean the first pair; one past the list falls back to it too.
        const auto indice = static_cast<qsizetype>(registro.nFilterIndex);
        plan.filtroElegido =
            (indice >= 1 && indice <= plan.filtros.size()) ? static_cast<int>(indice - 1) : 0;
    }
    plan.extension = registro.lpstrDefExt ? qtexto(*registro.lpstrDefExt) : QString();
    if (plan.extension.startsWith(u'.')) {
        plan.extension.remove(0, 1);
    }
    plan.debeExistir = abrir && (registro.Flags & kOfnDebeExistir) != 0;
    plan.ofrecerCrear = abrir && !plan.debeExistir && (registro.Flags & kOfnOfrecerCrear) != 0;
    plan.confirmarSobrescribir = !abrir && (registro.Flags & kOfnSobrescribir) != 0;
    plan.varios = abrir && (registro.Flags & kOfnVarios) != 0;
    plan.dueno = registro.hwndOwner;
    return plan;
}

void escribirRespuesta(RegistroLlamada& registro, const QString& ruta) {
    const std::u16string completa = ruta.toStdU16String();
    const std::u16string nombre = QFileInfo(ruta).fileName().toStdU16String();
    // Room must stay for the terminating NUL.
    const std::size_t largo = std::max<std::size_t>(registro.nMaxFile, kLargoBufer);
    if (completa.size() >= largo || nombre.size() >= kLargoBufer) {
        throw ErrorDialogo{kErrorArgumento,
                           u"La ruta elegida no cabe en el búfer de 260 caracteres"};
    }
    registro.lpstrFile = completa;
    registro.lpstrFile.resize(largo, u'\0');
    registro.lpstrFileTitle = nombre;
    registro.lpstrFileTitle.resize(kLargoBufer, u'\0');
}

void escribirRespuestas(RegistroLlamada& registro, const QStringList& rutas) {
    if (rutas.size() == 1) {
        escribirRespuesta(registro, rutas.constFirst());
        return;
    }
    // The dialog lists one folder; a name typed with a folder of its own still finds the folder
    // they all lie in.
    QString carpeta = QFileInfo(rutas.constFirst()).absolutePath();
    const auto dentro = [&](const QString& ruta) {
        return ruta.startsWith(carpeta.endsWith(u'/') ? carpeta : carpeta + u'/');
    };
    while (!std::all_of(rutas.cbegin(), rutas.cend(), dentro) && carpeta != QStringLiteral("/")) {
        carpeta = QFileInfo(carpeta).absolutePath();
    }
    std::u16string respuesta = carpeta.toStdU16String();
    respuesta.push_back(u'\0');
    const QDir raiz(carpeta);
    for (const QString& ruta : rutas) {
        respuesta += raiz.relativeFilePath(ruta).toStdU16String();
        respuesta.push_back(u'\0');
    }
    if (respuesta.size() + 1 > registro.nMaxFile) {
        throw ErrorDialogo{kErrorArgumento,
                           u"Los archivos elegidos no caben en el búfer de la respuesta: elija "
                           u"menos a la vez"};
    }
    registro.lpstrFile = std::move(respuesta);
    registro.lpstrFile.resize(registro.nMaxFile, u'\0');
    registro.lpstrFileTitle.assign(kLargoBufer, u'\0');
}

QWidget* ventanaDeHandle(std::uintptr_t handle) {
    if (handle == 0) {
        return nullptr;
    }
    return QWidget::find(static_cast<WId>(handle));
}

bool SelectorQt::mostrar(RegistroLlamada& registro, bool abrir) {
    const PlanSelector plan = planSelector(registro, abrir);
    QWidget* dueno = ventanaDeHandle(plan.dueno);

    QFileDialog dialogo(dueno, plan.titulo);
    dialogo.setAcceptMode(plan.abrir ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Several at once are files that exist, as what getOpenFileNames asks for.
    dialogo.setFileMode(plan.varios        ? QFileDialog::ExistingFiles
                        : plan.debeExistir ? QFileDialog::ExistingFile
                                           : QFileDialog::AnyFile);
    // Qt's dialog has no read-only check box, so the flag that hides it needs nothing here.
    dialogo.setOption(QFileDialog::HideNameFilterDetails, true);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite, !plan.confirmarSobrescribir);
    if (plan.carpeta) {
        dialogo.setDirectory(*plan.carpeta);
    }
    if (!plan.filtros.isEmpty()) {
        dialogo.setNameFilters(plan.filtros);
        dialogo.selectNameFilter(plan.filtros.at(plan.filtroElegido));
    }
    if (!plan.extension.isEmpty()) {
        dialogo.setDefaultSuffix(plan.extension);
    }
    if (!plan.nombrePropuesto.isEmpty()) {
        dialogo.selectFile(plan.nombrePropuesto);
    }

    for (;;) {
        if (dialogo.exec() != QDialog::Accepted) {
            return false;
        }
        const QStringList elegidos = dialogo.selectedFiles();
        if (elegidos.isEmpty()) {
            return false;
        }
        if (plan.varios) {
            escribirRespuestas(registro, elegidos);
            return true;
        }
        const QString ruta = elegidos.constFirst();
        if (plan.ofrecerCrear && !QFileInfo::exists(ruta)) {
            const auto respuesta = QMessageBox::question(
                &dialogo, plan.titulo,
                QStringLiteral("%1\nEl archivo no existe.\n¿Desea crearlo?").arg(ruta));
            if (respuesta != QMessageBox::Yes) {
                continue;  // back to the dialog, as the user did not agree
            }
        }
        escribirRespuesta(registro, ruta);
        return true;
    }
}

void AvisoQt::mostrar(std::u16string_view texto, std::u16string_view titulo) {
    QMessageBox caja(QMessageBox::NoIcon, qtexto(titulo), qtexto(texto), QMessageBox::Ok,
                     QApplication::activeWindow());
    caja.exec();
}

}  // namespace tralmix
