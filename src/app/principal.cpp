#include "app/principal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include "dialog/qtexto.h"
#include "extract/proceso.h"
#include "util/cadenas.h"
#include "ventana/opciones.h"

namespace tralmix {

namespace {

QColor qcolor(Color color) {
    return QColor(static_cast<int>(color & 255u), static_cast<int>((color >> 8) & 255u),
                  static_cast<int>((color >> 16) & 255u));
}

// A control's place given in twips, as the layout is written.
QRect enTwips(const vista::Lugar& l) {
    return QRect(vista::pixeles(l.izquierda), vista::pixeles(l.arriba), vista::pixeles(l.ancho),
                 vista::pixeles(l.alto));
}

QFont fuenteDe(const vista::Fuente& f) {
    QFont fuente(qtexto(f.familia));
    fuente.setPointSizeF(f.puntos);
    fuente.setBold(f.negrita);
    return fuente;
}

bool existe(const QString& ruta) {
    return existeArchivo(ruta.toStdU16String());
}

// A file beside the program, or in the shared data folder of an installed program.
QString buscarJuntoOInstalado(const QString& carpetaPrograma, const QString& nombre) {
    QString carpeta = carpetaPrograma;
    if (!carpeta.endsWith(u'/')) {
        carpeta += u'/';
    }
    const QString junto = carpeta + nombre;
    if (existe(junto)) {
        return junto;
    }
    // An installed program lives in <prefix>/bin and its data in <prefix>/share/tralmix.
    const QString instalado =
        QDir::cleanPath(carpeta + QStringLiteral("../share/tralmix/") + nombre);
    if (existe(instalado)) {
        return instalado;
    }
    return {};
}

}  // namespace

// The window as the processing run sees it.
class PuertoVentana : public Puerto {
  public:
    explicit PuertoVentana(principal& ventana) : ventana_(ventana) {}

    std::u16string textoRuta() const override {
        return ventana_.txtFile01_->text().toStdU16String();
    }
    void ponerTextoRuta(const std::u16string& texto) override {
        ventana_.txtFile01_->setText(qtexto(texto));
    }
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override {
        ventana_.escritorio_.mensaje(&ventana_, qtexto(texto), estilo, qtexto(titulo));
    }
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) override {
        return tralmix::mostrarDialogo(ventana_.escritorio_.selector(),
                                       ventana_.escritorio_.avisos(), ajustes);
    }
    std::uintptr_t ventana() const override {
        return static_cast<std::uintptr_t>(ventana_.winId());
    }
    std::u16string abrirArchivo(const std::u16string& ruta) override {
        return ventana_.escritorio_.abrir(QUrl::fromLocalFile(qtexto(ruta))).toStdU16String();
    }
    void informe(const Informe& informe) override {
        ventana_.mostrarResumen(qtexto(textoResumen(informe)));
    }

  private:
    principal& ventana_;
};

QString buscarAyuda(const QString& carpetaPrograma) {
    return buscarJuntoOInstalado(carpetaPrograma, qtexto(vista::kArchivoAyuda));
}

QString buscarAyudaHtml(const QString& carpetaPrograma) {
    return buscarJuntoOInstalado(carpetaPrograma, qtexto(vista::kAyudaHtml));
}

std::vector<std::u16string> rutasDe(const QList<QUrl>& archivos) {
    std::vector<std::u16string> rutas;
    for (const QUrl& archivo : archivos) {
        rutas.push_back(archivo.isLocalFile() ? archivo.toLocalFile().toStdU16String()
                                              : std::u16string());
    }
    return rutas;
}

QList<QUrl> archivosDeArgumentos(const QStringList& argumentos) {
    QList<QUrl> archivos;
    for (const QString& argumento : argumentos) {
        const QUrl direccion(argumento);
        archivos.append(direccion.isLocalFile()
                            ? direccion
                            : QUrl::fromLocalFile(QFileInfo(argumento).absoluteFilePath()));
    }
    return archivos;
}

Motor Motor::real() {
    return {[](Estado& estado, Puerto& puerto) { return cmd_file01_Click(estado, puerto); },
            [](Estado& estado, Puerto& puerto, std::vector<std::u16string> rutas) {
                return procesarArchivos(estado, puerto, std::move(rutas));
            }};
}

principal::principal(Escritorio& escritorio, Motor motor, QWidget* padre)
    : QWidget(padre),
      escritorio_(escritorio),
      motor_(std::move(motor)),
      puerto_(std::make_unique<PuertoVentana>(*this)),
      indicador_(std::make_unique<IndicadorProgreso>(*this, escritorio.temporizador(),
                                                     [this] { cancelar(); })),
      // The run's calls reach this thread as queued calls; none is left once the window goes.
      corredor_(std::make_unique<Corredor>(*puerto_, [this] {
          QMetaObject::invokeMethod(
              this, [this] { corredor_->atender(); }, Qt::QueuedConnection);
      })) {
    setObjectName(QStringLiteral("principal"));
    setWindowTitle(qtexto(vista::kTitulo));
    QIcon icono(QStringLiteral(":/tralmix/icono.png"));
    icono.addFile(QStringLiteral(":/tralmix/icono48.png"));  // for docks and task switchers
    setWindowIcon(icono);
    setFixedSize(vista::kAnchoCliente, vista::kAltoCliente);
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, qcolor(vista::kFondo));
    setPalette(paleta);
    setAutoFillBackground(true);

    const QCursor mano = cursorMano();
    const QColor blanco = qcolor(vista::kBlanco);

    // Created from the bottom of the stacking order to the top.
    Text1_ = new QPlainTextEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setGeometry(enTwips(vista::kText1));
    Text1_->setFont(fuenteDe(vista::kFuenteInstrucciones));
    {
        QPalette p = Text1_->palette();
        p.setColor(QPalette::Base, qcolor(vista::kFondo));
        p.setColor(QPalette::Text, blanco);
        Text1_->setPalette(p);
    }
    Text1_->setPlainText(textoCaja(qtexto(vista::kInstrucciones)));
    // The program never changes the instructions; they stay selectable and reachable by Tab.
    Text1_->setReadOnly(true);
    Text1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1_->setFocusPolicy(Qt::StrongFocus);
    Text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1_->document()->setDocumentMargin(2);
    // Its right-click belongs to the window, whose menu holds the list's options.
    Text1_->setContextMenuPolicy(Qt::NoContextMenu);

    txtFile01_ = new CajaRuta(this);
    txtFile01_->setObjectName(QStringLiteral("txtFile01"));
    txtFile01_->setGeometry(enTwips(vista::kTxtFile01));
    txtFile01_->alEnter = [this] { cmd_file01_->click(); };

    cmd_file01_ = new BotonArchivo(qtexto(vista::kTextoBoton), this);
    cmd_file01_->setObjectName(QStringLiteral("cmd_file01"));
    cmd_file01_->setGeometry(enTwips(vista::kCmdFile01));
    cmd_file01_->setToolTip(qtexto(vista::kConsejoBoton));
    {
        QPalette p = cmd_file01_->palette();
        p.setColor(QPalette::Button, qcolor(vista::kCaraBoton));
        cmd_file01_->setPalette(p);
    }
    connect(cmd_file01_, &QPushButton::clicked, this, [this] { cmd_file01_Click(); });

    imgAyuda_ = new Imagen(this);
    imgAyuda_->setObjectName(QStringLiteral("imgAyuda"));
    imgAyuda_->setGeometry(enTwips(vista::kImgAyuda));
    imgAyuda_->setPixmap(QPixmap(QStringLiteral(":/tralmix/ayuda.png")));
    imgAyuda_->setCursor(mano);
    imgAyuda_->setToolTip(qtexto(vista::kConsejoAyuda));
    imgAyuda_->setAccessibleName(QStringLiteral("Ayuda"));
    imgAyuda_->alDobleClic = [this] { imgAyuda_DblClick(); };
    imgAyuda_->alTeclear = [this] { imgAyuda_DblClick(); };

    Image1_ = new Imagen(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setGeometry(enTwips(vista::kImage1));
    Image1_->setPixmap(QPixmap(QStringLiteral(":/tralmix/logo.png")));
    Image1_->setCursor(mano);
    Image1_->setToolTip(qtexto(vista::kConsejoLogo));
    Image1_->alPulsar = [this] { Image1_Click(); };

    lblInfo_ = new QLabel(qtexto(vista::kTextoEtiqueta), this);
    lblInfo_->setObjectName(QStringLiteral("lblInfo"));
    lblInfo_->setGeometry(enTwips(vista::kLblInfo));
    {
        lblInfo_->setFont(fuenteDe(vista::kFuenteEtiqueta));
        QPalette p = lblInfo_->palette();
        p.setColor(QPalette::WindowText, blanco);
        lblInfo_->setPalette(p);
        lblInfo_->setAutoFillBackground(false);
    }

    // The report panel, hidden until a run makes a report: a ground of its own below the gradient,
    // its label and the text, placed in the panel as the layout places them in the window.
    panelResumen_ = new QWidget(this);
    panelResumen_->setObjectName(QStringLiteral("panelResumen"));
    const int arribaPanel = vista::kAltoCliente;
    panelResumen_->setGeometry(0, arribaPanel, vista::kAnchoCliente,
                               vista::kAltoConResumen - arribaPanel);
    {
        QPalette p = panelResumen_->palette();
        p.setColor(QPalette::Window, qcolor(vista::kFondoResumen));
        panelResumen_->setPalette(p);
        panelResumen_->setAutoFillBackground(true);
    }
    auto* lblResumen = new QLabel(qtexto(vista::kEtiquetaResumen), panelResumen_);
    lblResumen->setObjectName(QStringLiteral("lblResumen"));
    lblResumen->setGeometry(enTwips(vista::kLblResumen).translated(0, -arribaPanel));
    lblResumen->setFont(fuenteDe(vista::kFuenteEtiqueta));
    {
        QPalette p = lblResumen->palette();
        p.setColor(QPalette::WindowText, blanco);
        lblResumen->setPalette(p);
    }
    txtResumen_ = new QPlainTextEdit(panelResumen_);
    txtResumen_->setObjectName(QStringLiteral("txtResumen"));
    txtResumen_->setGeometry(enTwips(vista::kTxtResumen).translated(0, -arribaPanel));
    txtResumen_->setAccessibleName(qtexto(vista::kNombreResumen));
    {
        // The default colours of a text box, not the window's blue ground.
        QPalette p = txtResumen_->palette();
        p.setBrush(QPalette::Window, QApplication::palette().window());
        p.setColor(QPalette::Base, QApplication::palette().color(QPalette::Base));
        p.setColor(QPalette::Text, QApplication::palette().color(QPalette::Text));
        txtResumen_->setPalette(p);
    }
    txtResumen_->setReadOnly(true);
    txtResumen_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtResumen_->setFocusPolicy(Qt::StrongFocus);
    txtResumen_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtResumen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtResumen_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtResumen_->setTabChangesFocus(true);
    txtResumen_->setAcceptDrops(false);
    lblResumen->setBuddy(txtResumen_);
    panelResumen_->hide();

    // Tab order: the button, the path box, (the label takes no focus), the instructions, the help
    // icon, so that the help is reached from the keyboard too; then the report, when it shows.
    for (QWidget* sinFoco : {static_cast<QWidget*>(Image1_), static_cast<QWidget*>(lblInfo_)}) {
        sinFoco->setFocusPolicy(Qt::NoFocus);
    }
    imgAyuda_->setFocusPolicy(Qt::TabFocus);
    setTabOrder(cmd_file01_, txtFile01_);
    setTabOrder(txtFile01_, Text1_);
    setTabOrder(Text1_, imgAyuda_);
    setTabOrder(imgAyuda_, txtResumen_);
    cmd_file01_->setFocus();

    // A file dropped anywhere on the window counts; the boxes would take it as text.
    setAcceptDrops(true);
    txtFile01_->setAcceptDrops(false);
    Text1_->setAcceptDrops(false);

    corredor_->seguimiento = {
        [this](const std::u16string& ruta) {
            indicador_->empezar(qtexto(ruta), estado_.avance.demora);
        },
        [this] { indicador_->terminar(); },
        [this](Fase fase, std::uint64_t hecho, std::uint64_t total) {
            indicador_->avanzar(fase, hecho, total);
        },
        [this](Desenlace) { txtFile01_->setReadOnly(false); },
    };

    // F1 anywhere in the window: the help.
    auto* teclaAyuda = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(teclaAyuda, &QShortcut::activated, this, [this] { imgAyuda_DblClick(); });

    auto* menuTeclado = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menuTeclado, &QShortcut::activated, this,
            [this] { menuContextual(mapToGlobal(rect().center())); });

    Form_Load();
}

principal::~principal() {
    // Whatever closes the program, a run still going is stopped before its window goes.
    cancelar();
    corredor_->esperar();
}

void principal::centrar() {
    const QScreen* pantalla = screen();
    if (pantalla == nullptr) {
        return;
    }
    QRect marco = frameGeometry();
    marco.moveCenter(pantalla->availableGeometry().center());
    move(marco.topLeft());
}

void principal::Form_Load() {
    cargarCarpetaTemporal(estado_, escritorio_.carpetaTemporal().toStdU16String());
    estado_.carpetaPrograma = escritorio_.carpetaPrograma().toStdU16String();
    estado_.carpetaResultado = escritorio_.carpetaResultado().toStdU16String();
    aplicarOpciones(escritorio_.opcionesLista(), estado_);
    degradado(*this, vista::kDegradadoInicio, vista::kDegradadoFin);
}

void principal::cmd_file01_Click() {
    // One run at a time: the button, Enter, a drop and the command line all come to the Corredor.
    if (corredor_->enCurso()) {
        return;
    }
    antesDeCorrer();
    alEmpezar(corredor_->iniciar(estado_, motor_.elegirYProcesar));
}

void principal::antesDeCorrer() {
    const QDate hoy = escritorio_.hoy();
    estado_.fecha =
        Fecha{hoy.year(), static_cast<unsigned>(hoy.month()), static_cast<unsigned>(hoy.day())};
    ocultarResumen();
}

void principal::mostrarResumen(const QString& texto) {
    txtResumen_->setPlainText(textoCaja(texto));
    setFixedSize(vista::kAnchoCliente, vista::kAltoConResumen);
    panelResumen_->show();
}

void principal::ocultarResumen() {
    if (panelResumen_->isHidden()) {
        return;
    }
    // The focus must not stay on a control that goes.
    if (txtResumen_->hasFocus()) {
        cmd_file01_->setFocus();
    }
    panelResumen_->hide();
    txtResumen_->clear();
    setFixedSize(vista::kAnchoCliente, vista::kAltoCliente);
}

void principal::alEmpezar(bool empezo) {
    // The run reads the path box; an edit made meanwhile must not change what it reads.
    if (empezo && corredor_->enCurso()) {
        txtFile01_->setReadOnly(true);
    }
}

void principal::contextMenuEvent(QContextMenuEvent* evento) {
    menuContextual(evento->globalPos());
}

void principal::menuContextual(const QPoint& donde) {
    QMenu menu(this);
    QAction* opciones = menu.addAction(QStringLiteral("Opciones de la lista\u2026"));
    opciones->setObjectName(QStringLiteral("opcionesLista"));
    // The run reads the layout from the state; it changes only between runs.
    opciones->setEnabled(!corredor_->enCurso());
    connect(opciones, &QAction::triggered, this, [this] { opcionesLista(); });
    menu.exec(donde);
}

void principal::opcionesLista() {
    if (corredor_->enCurso()) {
        return;
    }
    OpcionesVentana opciones = opcionesDe(estado_);
    if (escritorio_.pedirOpcionesLista(this, opciones)) {
        aplicarOpciones(opciones, estado_);
        escritorio_.guardarOpcionesLista(opciones);
    }
}

void principal::cancelar() {
    if (corredor_->enCurso()) {
        corredor_->cancelar();
        indicador_->cancelando();
    }
}

void principal::recibirArchivos(const QList<QUrl>& archivos) {
    if (corredor_->enCurso()) {
        return;
    }
    antesDeCorrer();
    alEmpezar(corredor_->entregar(estado_, rutasDe(archivos), motor_.procesar));
}

void principal::procesarAlMostrar(QList<QUrl> archivos) {
    alMostrar_ = std::move(archivos);
}

void principal::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    if (!alMostrar_.isEmpty()) {
        // After the show has been handled, so the window is on screen behind the run's boxes.
        QMetaObject::invokeMethod(
            this, [this, archivos = std::exchange(alMostrar_, {})] { recibirArchivos(archivos); },
            Qt::QueuedConnection);
    }
}

void principal::closeEvent(QCloseEvent* evento) {
    // Closing stops a run: it ends at its next cheap point, writes no list, and the window goes.
    if (corredor_->enCurso()) {
        cancelar();
        corredor_->esperar();
    }
    QWidget::closeEvent(evento);
}

void principal::dragEnterEvent(QDragEnterEvent* evento) {
    if (!corredor_->enCurso() && evento->mimeData()->hasUrls()) {
        evento->acceptProposedAction();
    }
}

void principal::dropEvent(QDropEvent* evento) {
    if (corredor_->enCurso() || !evento->mimeData()->hasUrls()) {
        return;
    }
    evento->acceptProposedAction();
    // The program the file came from waits until the drop returns: no box inside it.
    QMetaObject::invokeMethod(
        this, [this, archivos = evento->mimeData()->urls()] { recibirArchivos(archivos); },
        Qt::QueuedConnection);
}

void principal::abrir(const QUrl& destino) {
    if (const QString motivo = escritorio_.abrir(destino); !motivo.isEmpty()) {
        const QString nombre = destino.isLocalFile() ? destino.toLocalFile() : destino.toString();
        puerto_->mensaje(mensajeFallo(kNoSeAbrio, nombre.toStdU16String(), motivo.toStdU16String()),
                         Estilo::Exclamacion, kTitulo);
    }
}

void principal::Image1_Click() {
    // What ships with the program: its help, whose first page says what it is.
    imgAyuda_DblClick();
}

void principal::imgAyuda_DblClick() {
    const QString carpeta = escritorio_.carpetaPrograma();
    const QString chm = buscarAyuda(carpeta);
    // Most desktops have no viewer for the compiled help: the same pages go to the browser.
    const QString html =
        !chm.isEmpty() && escritorio_.hayVisor(chm) ? QString() : buscarAyudaHtml(carpeta);
    const QString ayuda = html.isEmpty() ? chm : html;
    if (ayuda.isEmpty()) {
        puerto_->mensaje(kSinAyuda, Estilo::Exclamacion, kTitulo);
        return;
    }
    abrir(QUrl::fromLocalFile(ayuda));
}

}  // namespace tralmix
