#include "app/progreso.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog/qtexto.h"
#include "ventana/diseno.h"

namespace tralmix {

namespace {

constexpr int kEscala = 1000;

}  // namespace

TemporizadorQt::TemporizadorQt() {
    reloj_.setSingleShot(true);
    QObject::connect(&reloj_, &QTimer::timeout, [this] {
        if (alVencer_) {
            alVencer_();
        }
    });
}

void TemporizadorQt::iniciar(std::chrono::milliseconds demora, std::function<void()> alVencer) {
    alVencer_ = std::move(alVencer);
    reloj_.start(demora);
}

void TemporizadorQt::detener() {
    reloj_.stop();
    alVencer_ = nullptr;
}

DialogoProgreso::DialogoProgreso(const QString& archivo, QWidget* dueno)
    : QDialog(dueno), archivo_(archivo) {
    setObjectName(QStringLiteral("progreso"));
    setWindowTitle(qtexto(vista::kTituloProgreso));
    // Not modal: a modal dialog would keep the window's own close button from stopping the run
    // and closing the program. A second run cannot start meanwhile anyway.
    setWindowModality(Qt::NonModal);
    setMinimumWidth(340);

    etiqueta_ = new QLabel(this);
    etiqueta_->setTextFormat(Qt::PlainText);
    barra_ = new QProgressBar(this);
    barra_->setRange(0, 0);  // moving until the run gives a share
    barra_->setFormat(QStringLiteral("%p %"));
    cancelar_ = new QPushButton(qtexto(vista::kTextoCancelar), this);
    cancelar_->setObjectName(QStringLiteral("cancelar"));
    connect(cancelar_, &QPushButton::clicked, this, &DialogoProgreso::reject);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cancelar_);
    auto* columna = new QVBoxLayout(this);
    columna->addWidget(etiqueta_);
    columna->addWidget(barra_);
    columna->addLayout(botones);

    etiqueta_->setText(QStringLiteral("Archivo: %1\nProcesando...").arg(archivo_));
    cancelar_->setFocus();
}

void DialogoProgreso::mostrarAvance(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    if (!cancelar_->isEnabled()) {
        return;  // "Cancelando..." stays until the end
    }
    etiqueta_->setText(
        QStringLiteral("Archivo: %1\n%2...").arg(archivo_, qtexto(nombreFase(fase))));
    if (const auto parte = milesimas(hecho, total)) {
        barra_->setRange(0, kEscala);
        barra_->setValue(*parte);
    } else {
        barra_->setRange(0, 0);
    }
}

void DialogoProgreso::mostrarCancelando() {
    etiqueta_->setText(QStringLiteral("Archivo: %1\nCancelando...").arg(archivo_));
    cancelar_->setEnabled(false);
}

void DialogoProgreso::reject() {
    if (cancelar_->isEnabled() && alCancelar) {
        alCancelar();
    }
}

IndicadorProgreso::IndicadorProgreso(QWidget& dueno, std::unique_ptr<Temporizador> temporizador,
                                     std::function<void()> alCancelar)
    : dueno_(dueno), temporizador_(std::move(temporizador)), alCancelar_(std::move(alCancelar)) {}

IndicadorProgreso::~IndicadorProgreso() {
    terminar();
}

void IndicadorProgreso::empezar(const QString& ruta, std::chrono::milliseconds demora) {
    if (ocupado_) {
        return;
    }
    ocupado_ = true;
    cancelando_ = false;
    hayAvance_ = false;
    archivo_ = QFileInfo(ruta).fileName();
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    temporizador_->iniciar(demora, [this] { mostrar(); });
}

void IndicadorProgreso::avanzar(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    hayAvance_ = true;
    fase_ = fase;
    hecho_ = hecho;
    total_ = total;
    if (dialogo_) {
        dialogo_->mostrarAvance(fase, hecho, total);
    }
}

void IndicadorProgreso::cancelando() {
    cancelando_ = true;
    if (dialogo_) {
        dialogo_->mostrarCancelando();
    }
}

void IndicadorProgreso::terminar() {
    if (!ocupado_) {
        return;
    }
    ocupado_ = false;
    temporizador_->detener();
    dialogo_.reset();
    QGuiApplication::restoreOverrideCursor();
}

void IndicadorProgreso::mostrar() {
    if (!ocupado_ || dialogo_) {
        return;
    }
    dialogo_ = std::make_unique<DialogoProgreso>(archivo_, &dueno_);
    dialogo_->alCancelar = alCancelar_;
    if (hayAvance_) {
        dialogo_->mostrarAvance(fase_, hecho_, total_);
    }
    if (cancelando_) {
        dialogo_->mostrarCancelando();
    }
    dialogo_->show();
}

}  // namespace tralmix
