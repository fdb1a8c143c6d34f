#include "app/progreso.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/escritorio.h"
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

DialogoProgreso::DialogoProgreso(QWidget* dueno) : QDialog(dueno) {
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
    cancelar_->setFocus();
}

void DialogoProgreso::mostrar(const Progreso& progreso) {
    etiqueta_->setText(textoCaja(qtexto(progreso.texto(false))));
    cancelar_->setEnabled(!progreso.cancelando);
    if (progreso.cancelando) {
        return;  // the bar stays where the stop was asked for
    }
    if (progreso.milesimas) {
        barra_->setRange(0, kEscala);
        barra_->setValue(*progreso.milesimas);
        barra_->setFormat(qtexto(textoPorcentaje(*progreso.milesimas)));
    } else {
        barra_->setRange(0, 0);
    }
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
    progreso_.empezar(ruta.toStdU16String());
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    temporizador_->iniciar(demora, [this] { mostrar(); });
}

void IndicadorProgreso::avanzar(Fase fase, std::uint64_t hecho, std::uint64_t total) {
    progreso_.avanzar(fase, hecho, total);
    if (dialogo_) {
        dialogo_->mostrar(progreso_);
    }
}

void IndicadorProgreso::cancelando() {
    progreso_.cancelando = true;
    if (dialogo_) {
        dialogo_->mostrar(progreso_);
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
    dialogo_ = std::make_unique<DialogoProgreso>(&dueno_);
    dialogo_->alCancelar = alCancelar_;
    dialogo_->mostrar(progreso_);
    dialogo_->show();
}

}  // namespace tralmix
