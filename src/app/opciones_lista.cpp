#include "app/opciones_lista.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

#include "extract/disposicion.h"
#include "extract/estado.h"

namespace tralmix {
namespace {

constexpr auto kClavePorGrupo = "lista/porGrupo";
constexpr auto kClaveSeparador = "lista/separador";

QSettings ajustes() {
    return QSettings(QStringLiteral("Tralmix"), QStringLiteral("Tralmix"));
}

}  // namespace

OpcionesLista leerOpcionesGuardadas() {
    QSettings s = ajustes();
    OpcionesLista o{kPorGrupo, std::string(kSeparadorLista)};
    if (const auto n = leerPorGrupo(s.value(kClavePorGrupo).toString().toStdString()); n.valor) {
        o.porGrupo = *n.valor;
    }
    // Settings written by hand, or by an earlier version that let more through, are judged as
    // the dialog judges them.
    if (auto sep = leerSeparador(s.value(kClaveSeparador).toString().toStdU16String()); sep.valor) {
        o.separador = std::move(*sep.valor);
    }
    return o;
}

void guardarOpciones(const OpcionesLista& o) {
    QSettings s = ajustes();
    s.setValue(kClavePorGrupo, QString::number(o.porGrupo));
    s.setValue(kClaveSeparador, QString::fromStdString(o.separador));
}

DialogoOpciones::DialogoOpciones(const OpcionesLista& actuales, QWidget* padre) : QDialog(padre) {
    setObjectName(QStringLiteral("opcionesLista"));
    setWindowTitle(QStringLiteral("Opciones de la lista"));
    porGrupo_ = new QSpinBox(this);
    porGrupo_->setObjectName(QStringLiteral("porGrupo"));
    porGrupo_->setRange(1, static_cast<int>(kPorGrupoMaximo));
    porGrupo_->setValue(static_cast<int>(actuales.porGrupo));
    separador_ = new QLineEdit(QString::fromStdString(actuales.separador), this);
    separador_->setObjectName(QStringLiteral("separador"));
    aviso_ = new QLabel(this);
    aviso_->setObjectName(QStringLiteral("aviso"));
    // Its line is kept free, so that a warning never squeezes the rest.
    aviso_->setMinimumHeight(aviso_->fontMetrics().height());

    auto* formulario = new QFormLayout;
    formulario->addRow(QStringLiteral("&Direcciones por grupo:"), porGrupo_);
    formulario->addRow(QStringLiteral("&Separador:"), separador_);
    auto* nota = new QLabel(
        QStringLiteral("La primera dirección de cada grupo va sola en su línea; las demás, en la "
                       "línea siguiente, unidas por el separador (\", \" o \"; \", por ejemplo)."),
        this);
    nota->setWordWrap(true);

    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    aceptar_ = botones->button(QDialogButtonBox::Ok);
    aceptar_->setText(QStringLiteral("Aceptar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    auto* restablecer =
        botones->addButton(QStringLiteral("&Restablecer"), QDialogButtonBox::ResetRole);
    connect(restablecer, &QPushButton::clicked, this, [this] {
        porGrupo_->setValue(static_cast<int>(kPorGrupo));
        separador_->setText(QString::fromUtf8(kSeparadorLista.data(),
                                              static_cast<qsizetype>(kSeparadorLista.size())));
    });
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(separador_, &QLineEdit::textChanged, this, [this] { revisar(); });

    auto* columna = new QVBoxLayout(this);
    columna->addLayout(formulario);
    columna->addWidget(nota);
    columna->addWidget(aviso_);
    columna->addWidget(botones);
    revisar();
}

void DialogoOpciones::revisar() {
    const auto leido = leerSeparador(separador_->text().toStdU16String());
    aviso_->setText(leido.valor ? QString() : QString::fromStdString(comoAviso(leido.error)));
    aceptar_->setEnabled(leido.valor.has_value());
}

OpcionesLista DialogoOpciones::opciones() const {
    // Accepted only when valid, so its UTF-8 is the text itself.
    return {static_cast<std::size_t>(porGrupo_->value()),
            *leerSeparador(separador_->text().toStdU16String()).valor};
}

}  // namespace tralmix
