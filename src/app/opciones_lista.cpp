#include "app/opciones_lista.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialog/qtexto.h"
#include "extract/disposicion.h"
#include "extract/estado.h"
#include "ventana/diseno.h"

namespace tralmix {
namespace {

constexpr auto kClavePorGrupo = "lista/porGrupo";
constexpr auto kClaveSeparador = "lista/separador";
constexpr auto kClaveExclusiones = "lista/exclusiones";
constexpr auto kClaveDepurar = "lista/depurar";
constexpr auto kClaveSiempreResumen = "lista/siempreResumen";

QSettings ajustes() {
    return QSettings(QStringLiteral("Tralmix"), QStringLiteral("Tralmix"));
}

// The list box forwards Delete to "Quitar", as a person expects of a list of files.
class ListaExclusiones : public QListWidget {
  public:
    using QListWidget::QListWidget;
    std::function<void()> alSuprimir;

  protected:
    void keyPressEvent(QKeyEvent* evento) override {
        if (evento->key() == Qt::Key_Delete && alSuprimir) {
            alSuprimir();
            return;
        }
        QListWidget::keyPressEvent(evento);
    }
};

}  // namespace

OpcionesVentana leerOpcionesGuardadas() {
    QSettings s = ajustes();
    OpcionesVentana o;
    if (const auto n = leerPorGrupo(s.value(kClavePorGrupo).toString().toStdString()); n.valor) {
        o.lista.porGrupo = *n.valor;
    }
    // Settings written by hand, or by an earlier version that let more through, are judged as
    // the dialog judges them.
    if (auto sep = leerSeparador(s.value(kClaveSeparador).toString().toStdU16String()); sep.valor) {
        o.lista.separador = std::move(*sep.valor);
    }
    std::vector<std::u16string> rutas;
    for (const QString& ruta : s.value(kClaveExclusiones).toStringList()) {
        rutas.push_back(ruta.toStdU16String());
    }
    agregarExclusiones(o.exclusiones, rutas);
    o.depurar = s.value(kClaveDepurar, false).toBool();
    o.siempreResumen = s.value(kClaveSiempreResumen, false).toBool();
    return o;
}

void guardarOpciones(const OpcionesVentana& o) {
    QSettings s = ajustes();
    s.setValue(kClavePorGrupo, QString::number(o.lista.porGrupo));
    s.setValue(kClaveSeparador, QString::fromStdString(o.lista.separador));
    QStringList rutas;
    for (const std::u16string& ruta : o.exclusiones) {
        rutas.append(qtexto(ruta));
    }
    s.setValue(kClaveExclusiones, rutas);
    s.setValue(kClaveDepurar, o.depurar);
    s.setValue(kClaveSiempreResumen, o.siempreResumen);
}

DialogoOpciones::DialogoOpciones(const OpcionesVentana& actuales, Elegir elegir, QWidget* padre)
    : QDialog(padre), elegir_(std::move(elegir)) {
    setObjectName(QStringLiteral("opcionesLista"));
    setWindowTitle(qtexto(vista::kTituloOpciones));
    // Created in the order Tab follows.
    porGrupo_ = new QSpinBox(this);
    porGrupo_->setObjectName(QStringLiteral("porGrupo"));
    porGrupo_->setRange(1, static_cast<int>(kPorGrupoMaximo));
    porGrupo_->setValue(static_cast<int>(actuales.lista.porGrupo));
    separador_ = new QLineEdit(QString::fromStdString(actuales.lista.separador), this);
    separador_->setObjectName(QStringLiteral("separador"));
    aviso_ = new QLabel(this);
    aviso_->setObjectName(QStringLiteral("aviso"));
    // Its line is kept free, so that a warning never squeezes the rest.
    aviso_->setMinimumHeight(aviso_->fontMetrics().height());

    auto* lista = new ListaExclusiones(this);
    exclusiones_ = lista;
    exclusiones_->setObjectName(QStringLiteral("exclusiones"));
    exclusiones_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const std::u16string& ruta : actuales.exclusiones) {
        exclusiones_->addItem(qtexto(ruta));
    }
    auto* etiquetaExclusiones = new QLabel(qtexto(vista::kEtiquetaExclusiones), this);
    etiquetaExclusiones->setBuddy(exclusiones_);
    auto* botonAgregar = new QPushButton(qtexto(vista::kTextoAgregar), this);
    botonAgregar->setObjectName(QStringLiteral("agregar"));
    botonAgregar->setAutoDefault(false);
    quitar_ = new QPushButton(qtexto(vista::kTextoQuitar), this);
    quitar_->setObjectName(QStringLiteral("quitar"));
    quitar_->setAutoDefault(false);
    auto* notaExclusiones = new QLabel(qtexto(vista::kNotaExclusiones), this);
    notaExclusiones->setWordWrap(true);

    depurar_ = new QCheckBox(qtexto(vista::kTextoDepurar), this);
    depurar_->setObjectName(QStringLiteral("depurar"));
    depurar_->setChecked(actuales.depurar);
    siempreResumen_ = new QCheckBox(qtexto(vista::kTextoSiempreResumen), this);
    siempreResumen_->setObjectName(QStringLiteral("siempreResumen"));
    siempreResumen_->setChecked(actuales.siempreResumen);

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
    restablecer->setObjectName(QStringLiteral("restablecer"));
    // The layout and the checks go back to what a new user has; the exclusion files are the
    // person's own data and stay until removed one by one.
    connect(restablecer, &QPushButton::clicked, this, [this] {
        porGrupo_->setValue(static_cast<int>(kPorGrupo));
        separador_->setText(QString::fromUtf8(kSeparadorLista.data(),
                                              static_cast<qsizetype>(kSeparadorLista.size())));
        depurar_->setChecked(false);
        siempreResumen_->setChecked(false);
    });
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(separador_, &QLineEdit::textChanged, this, [this] { revisar(); });
    connect(botonAgregar, &QPushButton::clicked, this, [this] { agregar(); });
    connect(quitar_, &QPushButton::clicked, this, [this] { quitar(); });
    lista->alSuprimir = [this] { quitar(); };
    connect(exclusiones_, &QListWidget::itemSelectionChanged, this,
            [this] { quitar_->setEnabled(!exclusiones_->selectedItems().isEmpty()); });
    quitar_->setEnabled(false);

    auto* acciones = new QVBoxLayout;
    acciones->addWidget(botonAgregar);
    acciones->addWidget(quitar_);
    acciones->addStretch();
    auto* fila = new QHBoxLayout;
    fila->addWidget(exclusiones_, 1);
    fila->addLayout(acciones);

    auto* columna = new QVBoxLayout(this);
    columna->addLayout(formulario);
    columna->addWidget(nota);
    columna->addWidget(aviso_);
    columna->addWidget(etiquetaExclusiones);
    columna->addLayout(fila);
    columna->addWidget(notaExclusiones);
    columna->addWidget(depurar_);
    columna->addWidget(siempreResumen_);
    columna->addWidget(botones);
    resize(520, sizeHint().height());
    revisar();
}

void DialogoOpciones::revisar() {
    const auto leido = leerSeparador(separador_->text().toStdU16String());
    aviso_->setText(leido.valor ? QString() : QString::fromStdString(comoAviso(leido.error)));
    aceptar_->setEnabled(leido.valor.has_value());
}

void DialogoOpciones::agregar() {
    if (!elegir_) {
        return;
    }
    std::vector<std::u16string> actuales;
    for (int i = 0; i < exclusiones_->count(); ++i) {
        actuales.push_back(exclusiones_->item(i)->text().toStdU16String());
    }
    const std::size_t antes = actuales.size();
    agregarExclusiones(actuales, elegir_(this));
    for (std::size_t i = antes; i < actuales.size(); ++i) {
        exclusiones_->addItem(qtexto(actuales[i]));
    }
    exclusiones_->setFocus();
}

void DialogoOpciones::quitar() {
    const QList<QListWidgetItem*> elegidos = exclusiones_->selectedItems();
    if (elegidos.isEmpty()) {
        return;
    }
    int siguiente = exclusiones_->row(elegidos.constFirst());
    for (QListWidgetItem* item : elegidos) {
        siguiente = std::min(siguiente, exclusiones_->row(item));
        delete item;
    }
    // The keys go on from the entry that took the removed one's place.
    if (exclusiones_->count() > 0) {
        exclusiones_->setCurrentRow(std::min(siguiente, exclusiones_->count() - 1));
    }
    exclusiones_->setFocus();
}

OpcionesVentana DialogoOpciones::opciones() const {
    OpcionesVentana o;
    // Accepted only when valid, so its UTF-8 is the text itself.
    o.lista = {static_cast<std::size_t>(porGrupo_->value()),
               *leerSeparador(separador_->text().toStdU16String()).valor};
    for (int i = 0; i < exclusiones_->count(); ++i) {
        o.exclusiones.push_back(exclusiones_->item(i)->text().toStdU16String());
    }
    o.depurar = depurar_->isChecked();
    o.siempreResumen = siempreResumen_->isChecked();
    return o;
}

}  // namespace tralmix
