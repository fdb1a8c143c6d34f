#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <semaphore>

#include "app/degradado.h"
#include "app/escritorio.h"
#include "app/principal.h"
#include "dialog/qtexto.h"

namespace tralmix {
namespace {

// Answers the file chooser with a prepared path (or a cancel) and keeps what it was shown.
class SelectorFalso : public SelectorArchivos {
  public:
    QString respuesta;   // empty: the user cancels
    QStringList varias;  // several chosen at once, when not empty
    std::vector<RegistroLlamada> vistos;

    bool mostrar(RegistroLlamada& registro, bool) override {
        vistos.push_back(registro);
        if (!varias.isEmpty()) {
            escribirRespuestas(registro, varias);
            return true;
        }
        if (respuesta.isEmpty()) {
            return false;
        }
        escribirRespuesta(registro, respuesta);
        return true;
    }
};

class AvisoFalso : public AvisoError {
  public:
    int cajas = 0;
    void mostrar(std::u16string_view, std::u16string_view) override { ++cajas; }
};

// The delay before the progress dialog, fired by the test instead of by time.
class TemporizadorFalso : public Temporizador {
  public:
    std::chrono::milliseconds demora{0};
    std::function<void()> pendiente;

    void iniciar(std::chrono::milliseconds d, std::function<void()> alVencer) override {
        demora = d;
        pendiente = std::move(alVencer);
    }
    void detener() override { pendiente = nullptr; }
    // False when nothing was waiting: the delay had been stopped.
    bool vencer() {
        auto alVencer = std::exchange(pendiente, nullptr);
        if (alVencer) {
            alVencer();
        }
        return static_cast<bool>(alVencer);
    }
};

struct Mensaje {
    QString texto;
    Estilo estilo;
    QString titulo;
};

// A desktop without boxes or handlers: it writes down what the window asked of it.
class EscritorioFalso : public Escritorio {
  public:
    explicit EscritorioFalso(const QString& raiz)
        : programa(raiz + QStringLiteral("/programa")),
          resultado(raiz + QStringLiteral("/casa")),
          temporal(raiz + QStringLiteral("/tmp")) {
        for (const QString& carpeta : {programa, resultado, temporal}) {
            QDir().mkpath(carpeta);
        }
    }

    SelectorArchivos& selector() override { return selector_; }
    AvisoError& avisos() override { return aviso_; }
    void mensaje(QWidget*, const QString& texto, Estilo estilo, const QString& titulo) override {
        mensajes.push_back({texto, estilo, titulo});
        ocupadoConCaja |= QGuiApplication::overrideCursor() != nullptr;
        for (QWidget* ventana : QApplication::topLevelWidgets()) {
            ocupadoConCaja |= dynamic_cast<DialogoProgreso*>(ventana) && ventana->isVisible();
        }
    }
    QString abrir(const QUrl& destino) override {
        abiertos.push_back(destino);
        return noAbre;
    }
    QString carpetaPrograma() const override { return programa; }
    QString carpetaResultado() const override { return resultado; }
    QString carpetaTemporal() const override { return temporal; }
    QDate hoy() const override { return QDate(2026, 3, 5); }
    bool hayVisor(const QString&) const override { return visorChm; }
    std::unique_ptr<Temporizador> temporizador() override {
        auto nuevo = std::make_unique<TemporizadorFalso>();
        reloj = nuevo.get();
        return nuevo;
    }

    SelectorFalso selector_;
    AvisoFalso aviso_;
    QString programa;
    QString resultado;
    QString temporal;
    std::vector<Mensaje> mensajes;
    std::vector<QUrl> abiertos;
    bool visorChm = true;
    QString noAbre;                      // why the desktop's opener fails; empty: it opens
    TemporizadorFalso* reloj = nullptr;  // the window's
    bool ocupadoConCaja = false;  // a box came up under the busy pointer or the progress dialog
};

QString fixture(const char* nombre) {
    return QStringLiteral(TRALMIX_GUI_DATA "/") + QString::fromUtf8(nombre);
}

template <typename T = QWidget>
T* control(const principal& ventana, const char* nombre) {
    T* encontrado = ventana.findChild<T*>(QString::fromUtf8(nombre));
    EXPECT_NE(encontrado, nullptr) << nombre;
    return encontrado;
}

class VentanaTest : public ::testing::Test {
  protected:
    QTemporaryDir raiz;
    EscritorioFalso escritorio{raiz.path()};
    principal ventana{escritorio};
};

TEST_F(VentanaTest, CaptionAndFixedClientArea) {
    EXPECT_EQ(ventana.windowTitle(), QStringLiteral(" Creador de listas de  e-mails"));
    EXPECT_EQ(ventana.size(), QSize(517, 172));
    EXPECT_EQ(ventana.minimumSize(), ventana.maximumSize());
    EXPECT_FALSE(ventana.windowIcon().isNull());
    EXPECT_TRUE(ventana.windowIcon().availableSizes().contains(QSize(32, 32)));
}

TEST_F(VentanaTest, ControlsSitWhereTheLayoutPutsThemInStackingOrder) {
    const struct {
        const char* nombre;
        QRect lugar;
    } controles[] = {
        {"Text1", QRect(145, 49, 325, 107)},    {"txtFile01", QRect(88, 12, 366, 21)},
        {"cmd_file01", QRect(463, 12, 43, 21)}, {"imgAyuda", QRect(480, 86, 32, 32)},
        {"Image1", QRect(8, 45, 122, 114)},     {"lblInfo", QRect(8, 14, 75, 16)},
    };
    QStringList orden;
    for (QObject* hijo : ventana.children()) {
        if (hijo->isWidgetType()) {
            orden.append(hijo->objectName());
        }
    }
    // Above them all, the report panel, hidden until a run makes a report.
    ASSERT_EQ(orden.size(), 7);
    EXPECT_EQ(orden.takeLast(), QStringLiteral("panelResumen"));
    EXPECT_TRUE(control(ventana, "panelResumen")->isHidden());
    QStringList esperado;
    for (const auto& c : controles) {
        esperado.append(QString::fromUtf8(c.nombre));
        QWidget* w = control(ventana, c.nombre);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), c.lugar) << c.nombre;
    }
    EXPECT_EQ(orden, esperado);  // bottom of the stacking order first
}

TEST_F(VentanaTest, TextsFontsColoursAndTooltips) {
    auto* texto = control<QPlainTextEdit>(ventana, "Text1");
    ASSERT_NE(texto, nullptr);
    const QStringList lineas = {
        QStringLiteral("Seleccione un archivo de texto (*.Txt) que tenga direcciones de "),
        QStringLiteral("correo ya sea una por linea o como correo masivo."),
        QStringLiteral("o"),
        QStringLiteral("un archivo de contactos del messenger (*.Ctt)"),
        QString(),
        QStringLiteral("Este programa creará una lista para envío de correos por lotes."),
        QString(),  // after the last CR LF
    };
    QStringList mostradas;
    for (QTextBlock b = texto->document()->begin(); b.isValid(); b = b.next()) {
        mostradas.append(b.text());
    }
    EXPECT_EQ(mostradas, lineas);
    EXPECT_EQ(texto->font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(texto->font().pointSizeF(), 9.0);
    EXPECT_FALSE(texto->font().bold());
    EXPECT_EQ(texto->palette().color(QPalette::Base), QColor(8, 57, 133));
    EXPECT_EQ(texto->palette().color(QPalette::Text), QColor(255, 255, 255));

    auto* etiqueta = control<QLabel>(ventana, "lblInfo");
    ASSERT_NE(etiqueta, nullptr);
    EXPECT_EQ(etiqueta->text(), QStringLiteral("Archivo :"));
    EXPECT_EQ(etiqueta->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(etiqueta->font().pointSizeF(), 9.75);
    EXPECT_TRUE(etiqueta->font().bold());
    EXPECT_EQ(etiqueta->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_FALSE(etiqueta->autoFillBackground());

    auto* boton = control<QPushButton>(ventana, "cmd_file01");
    ASSERT_NE(boton, nullptr);
    EXPECT_EQ(boton->text(), QStringLiteral("..."));
    EXPECT_EQ(boton->palette().color(QPalette::Button), QColor(224, 224, 224));

    auto* ruta = control<QLineEdit>(ventana, "txtFile01");
    ASSERT_NE(ruta, nullptr);
    EXPECT_TRUE(ruta->text().isEmpty());

    const struct {
        const char* nombre;
        QString consejo;
    } consejos[] = {
        {"cmd_file01", QStringLiteral(" Seleccione un archivo ")},
        {"imgAyuda", QStringLiteral(" Ayuda ")},
        {"Image1", QStringLiteral(" Acerca de Tralmix ")},
        {"txtFile01", QString()},
        {"Text1", QString()},
        {"lblInfo", QString()},
    };
    for (const auto& c : consejos) {
        QWidget* w = control(ventana, c.nombre);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->toolTip(), c.consejo) << c.nombre;
    }
}

TEST_F(VentanaTest, ImagesHaveTheirSizesAndTheHandPointer) {
    auto* logo = control<QLabel>(ventana, "Image1");
    auto* ayuda = control<QLabel>(ventana, "imgAyuda");
    ASSERT_TRUE(logo && ayuda);
    EXPECT_EQ(logo->pixmap().size(), QSize(122, 114));
    EXPECT_EQ(ayuda->pixmap().size(), QSize(32, 32));
    for (QLabel* imagen : {logo, ayuda}) {
        const QCursor cursor = imagen->cursor();
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor.hotSpot(), QPoint(7, 1));
        EXPECT_EQ(cursor.bitmap().size(), QSize(32, 32));
        EXPECT_EQ(cursor.mask().size(), QSize(32, 32));
    }
}

TEST_F(VentanaTest, LoadFindsTheTemporaryFolderAndPaintsTheGradientBehindTheControls) {
    EXPECT_EQ(ventana.estado().carpetaTemporal, (escritorio.temporal + u'/').toStdU16String());

    const QImage imagen = ventana.grab().toImage();
    const auto bandas = bandasDegradado(517, 172, vista::kDegradadoInicio, vista::kDegradadoFin);
    // Points no control covers: the top-left corner, under the logo, right of the text box.
    for (const QPoint punto : {QPoint(0, 0), QPoint(140, 165), QPoint(500, 60), QPoint(3, 170)}) {
        const Banda* banda = nullptr;
        for (const Banda& b : bandas) {
            if (punto.y() >= b.arriba && punto.y() < b.abajo) {
                banda = &b;
            }
        }
        ASSERT_NE(banda, nullptr);
        EXPECT_EQ(QColor(imagen.pixel(punto)), QColor(banda->rojo, banda->verde, banda->azul))
            << punto.x() << "," << punto.y();
    }
}

TEST_F(VentanaTest, TabGoesFromTheButtonToTheBoxToTheTextToTheHelp) {
    ventana.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
    QWidget* boton = control(ventana, "cmd_file01");
    boton->setFocus();
    const char* orden[] = {"txtFile01", "Text1", "imgAyuda", "cmd_file01"};
    for (const char* siguiente : orden) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromUtf8(siguiente));
    }
}

// What one run left behind, to compare a click with Enter.
struct Huella {
    std::size_t dialogos;
    QString resultado;
    std::vector<QUrl> abiertos;
    QStringList mensajes;
    QString caja;
    std::u16string archivoEntrada;
};

Huella huella(const principal& ventana, const EscritorioFalso& e, const QString& resultado) {
    QFile archivo(resultado);
    QString contenido;
    if (archivo.open(QIODevice::ReadOnly)) {
        contenido = QString::fromUtf8(archivo.readAll());
    }
    QStringList mensajes;
    for (const Mensaje& m : e.mensajes) {
        mensajes.append(QString::number(static_cast<int>(m.estilo)) + u'|' + m.titulo + u'|' +
                        m.texto);
    }
    return {e.selector_.vistos.size(),
            contenido,
            e.abiertos,
            mensajes,
            ventana.findChild<QLineEdit*>(QStringLiteral("txtFile01"))->text(),
            ventana.estado().archivoEntrada};
}

TEST(VentanaRun, EnterInTheBoxRunsTheSameProcessingAsAClick) {
    enum class Gesto { Clic, Intro, IntroTeclado };
    std::vector<Huella> huellas;
    for (const Gesto gesto : {Gesto::Clic, Gesto::Intro, Gesto::IntroTeclado}) {
        QTemporaryDir raiz;
        EscritorioFalso escritorio(raiz.path());
        escritorio.selector_.respuesta = fixture("lista.txt");
        principal ventana(escritorio);
        ventana.show();
        auto* ruta = control<QLineEdit>(ventana, "txtFile01");
        ASSERT_NE(ruta, nullptr);
        switch (gesto) {
            case Gesto::Clic:
                QTest::mouseClick(control(ventana, "cmd_file01"), Qt::LeftButton);
                break;
            case Gesto::Intro:
                QTest::keyClick(ruta, Qt::Key_Return);
                break;
            case Gesto::IntroTeclado:
                QTest::keyClick(ruta, Qt::Key_Enter, Qt::KeypadModifier);
                break;
        }
        ventana.esperarEjecucion();

        ASSERT_EQ(escritorio.selector_.vistos.size(), 1u);
        const RegistroLlamada& r = escritorio.selector_.vistos.front();
        EXPECT_EQ(r.lpstrTitle, u"Abrir");
        // The run's flags, with the dialog's own bits for several files at once.
        EXPECT_EQ(r.Flags, 12292 | kOfnVarios | kOfnExplorador);
        EXPECT_EQ(r.lpstrInitialDir, escritorio.programa.toStdU16String());
        EXPECT_EQ(r.hwndOwner, static_cast<std::uintptr_t>(ventana.winId()));
        // .txt, .ctt, contacts and mail, all files
        EXPECT_EQ(paresFiltro(r.lpstrFilter).size(), 4u);

        const QString resultado = escritorio.resultado + QStringLiteral("/Mails_20260305.txt");
        Huella h = huella(ventana, escritorio, resultado);
        EXPECT_EQ(h.resultado, QStringLiteral("a@example.com\r\n\r\nb@example.com\r\n\r\n\r\n"));
        ASSERT_EQ(escritorio.mensajes.size(), 1u);
        EXPECT_EQ(escritorio.mensajes[0].estilo, Estilo::Informacion);
        EXPECT_TRUE(escritorio.mensajes[0].texto.startsWith(
            QStringLiteral("Se ha creado el archivo:\r\n") + resultado));
        ASSERT_EQ(escritorio.abiertos.size(), 1u);
        EXPECT_EQ(escritorio.abiertos[0], QUrl::fromLocalFile(resultado));
        EXPECT_TRUE(h.caja.isEmpty());
        EXPECT_EQ(h.archivoEntrada, fixture("lista.txt").toStdU16String());
        // A one-file run without the list's new options makes no report: the window as ever.
        EXPECT_TRUE(control(ventana, "panelResumen")->isHidden());
        EXPECT_EQ(ventana.size(), QSize(517, 172));
        // Folders differ per case; what was said and written must not.
        h.mensajes.replaceInStrings(escritorio.resultado, QStringLiteral("<casa>"));
        h.abiertos.clear();
        huellas.push_back(h);
    }
    for (std::size_t i = 1; i < huellas.size(); ++i) {
        EXPECT_EQ(huellas[i].resultado, huellas[0].resultado);
        EXPECT_EQ(huellas[i].mensajes, huellas[0].mensajes);
        EXPECT_EQ(huellas[i].caja, huellas[0].caja);
    }
}

TEST_F(VentanaTest, OtherKeysOnlyEditThePath) {
    ventana.show();
    auto* ruta = control<QLineEdit>(ventana, "txtFile01");
    ASSERT_NE(ruta, nullptr);
    QTest::keyClicks(ruta, QStringLiteral("/tmp/Lista.TXT"));
    QTest::keyClick(ruta, Qt::Key_Backspace);
    QTest::keyClick(ruta, Qt::Key_Escape);
    QTest::keyClick(ruta, Qt::Key_Space);
    EXPECT_EQ(ruta->text(), QStringLiteral("/tmp/Lista.TX "));
    EXPECT_TRUE(escritorio.selector_.vistos.empty());
    EXPECT_TRUE(escritorio.mensajes.empty());
}

TEST_F(VentanaTest, CancelledDialogEndsTheRunSilently) {
    ventana.show();
    auto* ruta = control<QLineEdit>(ventana, "txtFile01");
    ASSERT_NE(ruta, nullptr);
    ruta->setText(QStringLiteral("   "));
    QTest::keyClick(ruta, Qt::Key_Return);
    ventana.esperarEjecucion();
    EXPECT_EQ(escritorio.selector_.vistos.size(), 1u);
    EXPECT_TRUE(escritorio.mensajes.empty());
    EXPECT_TRUE(escritorio.abiertos.empty());
    EXPECT_TRUE(ventana.estado().archivoEntrada.empty());
    EXPECT_EQ(ruta->text(), QStringLiteral("   "));
}

TEST_F(VentanaTest, HelpOpensOnDoubleClickOnlyWhenTheFileExists) {
    ventana.show();
    QWidget* ayuda = control(ventana, "imgAyuda");
    ASSERT_NE(ayuda, nullptr);
    const QString archivo = escritorio.programa + QStringLiteral("/tralmix.chm");

    QTest::mouseDClick(ayuda, Qt::LeftButton);
    EXPECT_TRUE(escritorio.abiertos.empty()) << "no help file yet";

    QFile chm(archivo);
    ASSERT_TRUE(chm.open(QIODevice::WriteOnly));
    chm.close();
    QTest::mouseClick(ayuda, Qt::LeftButton);
    EXPECT_TRUE(escritorio.abiertos.empty()) << "a single click does nothing";

    QTest::mouseDClick(ayuda, Qt::LeftButton);
    ASSERT_EQ(escritorio.abiertos.size(), 1u);
    EXPECT_EQ(escritorio.abiertos[0], QUrl::fromLocalFile(archivo));
}

TEST(BuscarAyuda, BesideTheProgramOrInTheInstalledDataFolder) {
    QTemporaryDir raiz;
    const QString bin = raiz.path() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    EXPECT_TRUE(buscarAyuda(bin).isEmpty());

    QDir().mkpath(raiz.path() + QStringLiteral("/share/tralmix"));
    const QString instalada = raiz.path() + QStringLiteral("/share/tralmix/tralmix.chm");
    QFile(instalada).open(QIODevice::WriteOnly);
    EXPECT_EQ(buscarAyuda(bin), instalada);

    const QString junto = bin + QStringLiteral("/tralmix.chm");
    QFile(junto).open(QIODevice::WriteOnly);
    EXPECT_EQ(buscarAyuda(bin), junto);
    EXPECT_EQ(buscarAyuda(bin + u'/'), junto);  // a folder already ending in "/"

    // A folder by that name is no help file.
    QTemporaryDir otra;
    QDir().mkpath(otra.path() + QStringLiteral("/tralmix.chm"));
    EXPECT_TRUE(buscarAyuda(otra.path()).isEmpty());
}

// The logo opens what ships with the program, its help, as the help icon does.
TEST_F(VentanaTest, LogoClickOpensTheHelp) {
    const QString archivo = escritorio.programa + QStringLiteral("/tralmix.chm");
    QFile(archivo).open(QIODevice::WriteOnly);
    ventana.show();
    QWidget* logo = control(ventana, "Image1");
    ASSERT_NE(logo, nullptr);
    // Pressed on the logo but released elsewhere, or with the other button: no click.
    QTest::mousePress(logo, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(logo, Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseClick(logo, Qt::RightButton);
    EXPECT_TRUE(escritorio.abiertos.empty());

    QTest::mouseClick(logo, Qt::LeftButton);
    ASSERT_EQ(escritorio.abiertos.size(), 1u);
    EXPECT_EQ(escritorio.abiertos[0], QUrl::fromLocalFile(archivo));
}

// A keyboard reaches the help: F1 from any control, and Enter or Space on the help icon, which
// takes the focus by Tab and shows it.
TEST_F(VentanaTest, F1OrEnterOrSpaceOnTheHelpIconOpensTheHelp) {
    const QString archivo = escritorio.programa + QStringLiteral("/tralmix.chm");
    QFile(archivo).open(QIODevice::WriteOnly);
    ventana.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
    for (const char* foco : {"cmd_file01", "txtFile01", "Text1"}) {
        control(ventana, foco)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        ASSERT_EQ(escritorio.abiertos.size(), 1u) << foco;
        EXPECT_EQ(escritorio.abiertos[0], QUrl::fromLocalFile(archivo));
        escritorio.abiertos.clear();
    }
    QWidget* ayuda = control(ventana, "imgAyuda");
    ayuda->setFocus();
    ASSERT_TRUE(ayuda->hasFocus());
    const QImage sinFoco = [&] {
        control(ventana, "cmd_file01")->setFocus();
        return ayuda->grab().toImage();
    }();
    ayuda->setFocus();
    EXPECT_NE(ayuda->grab().toImage(), sinFoco) << "its focus does not show";
    for (const Qt::Key tecla : {Qt::Key_Return, Qt::Key_Space}) {
        QTest::keyClick(ayuda, tecla);
        ASSERT_EQ(escritorio.abiertos.size(), 1u) << tecla;
        escritorio.abiertos.clear();
    }
    QTest::keyClick(ayuda, Qt::Key_A);
    EXPECT_TRUE(escritorio.abiertos.empty());
}

TEST(MensajesQt, StyleGivesTheIconAndLineEndsBecomeBreaks) {
    const struct {
        Estilo estilo;
        QMessageBox::Icon icono;
    } iconos[] = {
        {Estilo::Ninguno, QMessageBox::NoIcon},
        {Estilo::Critico, QMessageBox::Critical},
        {Estilo::Exclamacion, QMessageBox::Warning},
        {Estilo::Informacion, QMessageBox::Information},
        {static_cast<Estilo>(32), QMessageBox::NoIcon},
    };
    for (const auto& c : iconos) {
        EXPECT_EQ(iconoDeEstilo(c.estilo), c.icono) << static_cast<int>(c.estilo);
    }
    EXPECT_EQ(textoCaja(QStringLiteral("El archivo esta vacio!\r\nImposible continuar")),
              QStringLiteral("El archivo esta vacio!\nImposible continuar"));
    EXPECT_EQ(textoCaja(QStringLiteral("a\r\n\r\nb\rc")), QStringLiteral("a\n\nb\nc"));
}

QUrl archivo(const QString& ruta) {
    return QUrl::fromLocalFile(ruta);
}

// Drags urls over the window and drops them there; whether the window took the drag.
bool soltar(principal& ventana, const QList<QUrl>& urls) {
    QMimeData datos;
    datos.setUrls(urls);
    const QPointF punto(200, 100);
    QDragEnterEvent entrada(punto.toPoint(), Qt::CopyAction, &datos, Qt::LeftButton, {});
    QApplication::sendEvent(&ventana, &entrada);
    if (!entrada.isAccepted()) {
        return false;
    }
    QDropEvent suelta(punto, Qt::CopyAction, &datos, Qt::LeftButton, {});
    QApplication::sendEvent(&ventana, &suelta);
    QCoreApplication::processEvents();  // the drop hands the files on after it returns
    ventana.esperarEjecucion();
    return true;
}

// The window's menu: its options come from the desktop's settings at start, change through the
// dialog, go back to the settings and shape the next list.
class EscritorioOpciones : public EscritorioFalso {
  public:
    using EscritorioFalso::EscritorioFalso;
    bool pedirOpcionesLista(QWidget*, OpcionesVentana& opciones) override {
        mostradas.push_back(opciones);
        opciones = respuesta;
        return true;
    }
    OpcionesVentana respuesta{{3, "; "}, {}, false, false};
    std::vector<OpcionesVentana> mostradas;
};

TEST(VentanaOpciones, TheMenuChangesTheLayoutAndKeepsIt) {
    QTemporaryDir raiz;
    EscritorioOpciones escritorio(raiz.path());
    escritorio.guardarOpcionesLista({{5, " | "}, {u"/x/bajas.txt"}, true, true});
    principal ventana{escritorio};
    EXPECT_EQ(ventana.estado().porGrupo, 5u);
    EXPECT_EQ(ventana.estado().separador, " | ");
    EXPECT_EQ(ventana.estado().exclusiones, std::vector<std::u16string>{u"/x/bajas.txt"});
    EXPECT_TRUE(ventana.estado().depurar);
    EXPECT_TRUE(ventana.estado().pedirInforme);

    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        auto* accion = menu->findChild<QAction*>(QStringLiteral("opcionesLista"));
        ASSERT_NE(accion, nullptr);
        EXPECT_EQ(accion->text(), QStringLiteral("Opciones de la lista\u2026"));
        accion->trigger();
        menu->close();
    });
    QContextMenuEvent clic(QContextMenuEvent::Mouse, QPoint(300, 20),
                           ventana.mapToGlobal(QPoint(300, 20)));
    QApplication::sendEvent(&ventana, &clic);

    ASSERT_EQ(escritorio.mostradas.size(), 1u);
    EXPECT_EQ(escritorio.mostradas[0].lista.porGrupo, 5u);
    EXPECT_EQ(escritorio.mostradas[0].exclusiones, std::vector<std::u16string>{u"/x/bajas.txt"});
    EXPECT_EQ(escritorio.opcionesLista().lista.porGrupo, 3u);
    EXPECT_EQ(escritorio.opcionesLista().lista.separador, "; ");
    EXPECT_TRUE(ventana.estado().exclusiones.empty());
    EXPECT_FALSE(ventana.estado().depurar);
    EXPECT_FALSE(ventana.estado().pedirInforme);

    const QString csv = raiz.path() + QStringLiteral("/tres.csv");
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("c@x.example\r\na@x.example\r\nb@x.example\r\n");
    f.close();
    ASSERT_TRUE(soltar(ventana, {archivo(csv)}));
    QFile lista(escritorio.resultado + QStringLiteral("/Mails_20260305.txt"));
    ASSERT_TRUE(lista.open(QIODevice::ReadOnly));
    EXPECT_EQ(lista.readAll(),
              QByteArray("a@x.example\r\n\r\nb@x.example; c@x.example\r\n\r\n\r\n"));
}

void escribir(const QString& ruta, const QByteArray& contenido) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contenido);
}

// The report panel shows after a run that made a report (several files, an exclusion list, or
// asked for), under the controls and below the run's own box, and goes when the next run starts.
TEST(VentanaResumen, ShowsAfterARunThatMadeAReportUntilTheNextRun) {
    QTemporaryDir raiz;
    const QString bajas = raiz.path() + QStringLiteral("/bajas.txt");
    escribir(bajas, "b@example.com\r\n");
    const QString otra = raiz.path() + QStringLiteral("/otra.txt");
    escribir(otra, "c@example.com\r\nA@example.com\r\n");
    const QString falta = raiz.path() + QStringLiteral("/ya-no-esta.txt");
    const struct {
        const char* que;
        std::vector<std::u16string> exclusiones;
        bool siempreResumen;
        QStringList elegidas;  // in the Open dialog
        QByteArray lista;      // empty: none written
        QString resumen;       // the report's first line; empty: no panel
    } casos[] = {
        {"one file as ever",
         {},
         false,
         {fixture("lista.txt")},
         "a@example.com\r\n\r\nb@example.com\r\n\r\n\r\n",
         {}},
        {"one file, the summary asked for",
         {},
         true,
         {fixture("lista.txt")},
         "a@example.com\r\n\r\nb@example.com\r\n\r\n\r\n",
         QStringLiteral("Resumen: 2 direcciones en 1 grupo")},
        {"one file and an exclusion list",
         {bajas.toStdU16String()},
         false,
         {fixture("lista.txt")},
         "a@example.com\r\n\r\n",
         QStringLiteral("Resumen: 1 dirección en 1 grupo; 1 excluida quitada")},
        {"two files chosen at once",
         {},
         false,
         {fixture("lista.txt"), otra},
         "a@example.com\r\n\r\nb@example.com, c@example.com\r\n\r\n\r\n",
         QStringLiteral("Resumen: 3 direcciones en 1 grupo; 1 repetida quitada")},
        // A stored exclusion file that went is kept and stops the run, saying so.
        {"an exclusion file that went",
         {falta.toStdU16String()},
         false,
         {fixture("lista.txt")},
         {},
         {}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        QTemporaryDir carpeta;
        EscritorioFalso escritorio(carpeta.path());
        escritorio.guardarOpcionesLista({{48, ", "}, c.exclusiones, false, c.siempreResumen});
        if (c.elegidas.size() > 1) {
            escritorio.selector_.varias = c.elegidas;
        } else {
            escritorio.selector_.respuesta = c.elegidas.front();
        }
        principal ventana(escritorio);
        ventana.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
        QTest::mouseClick(control(ventana, "cmd_file01"), Qt::LeftButton);
        ventana.esperarEjecucion();

        ASSERT_EQ(escritorio.selector_.vistos.size(), 1u);
        EXPECT_EQ(escritorio.selector_.vistos[0].Flags, 12292 | kOfnVarios | kOfnExplorador);
        QFile lista(escritorio.resultado + QStringLiteral("/Mails_20260305.txt"));
        if (c.lista.isEmpty()) {
            EXPECT_FALSE(lista.exists());
            ASSERT_EQ(escritorio.mensajes.size(), 1u);
            EXPECT_TRUE(escritorio.mensajes[0].texto.startsWith(
                QStringLiteral("No se pudo leer el archivo:\r\n") + falta));
            EXPECT_EQ(ventana.estado().exclusiones, c.exclusiones);
        } else {
            ASSERT_TRUE(lista.open(QIODevice::ReadOnly));
            EXPECT_EQ(lista.readAll().toStdString(), c.lista.toStdString());
            ASSERT_FALSE(escritorio.mensajes.empty());
            EXPECT_TRUE(escritorio.mensajes[0].texto.startsWith(
                QStringLiteral("Se ha creado el archivo:\r\n")));
        }
        QWidget* panel = control(ventana, "panelResumen");
        auto* texto = control<QPlainTextEdit>(ventana, "txtResumen");
        if (c.resumen.isEmpty()) {
            EXPECT_TRUE(panel->isHidden());
            EXPECT_EQ(ventana.size(), QSize(517, 172));
            continue;
        }
        ASSERT_TRUE(panel->isVisible());
        EXPECT_EQ(ventana.size(), QSize(517, 279));
        EXPECT_EQ(panel->geometry(), QRect(0, 172, 517, 107));
        EXPECT_EQ(texto->geometry(), QRect(8, 17, 501, 81));
        EXPECT_EQ(control<QLabel>(ventana, "lblResumen")->text(), QStringLiteral("&Informe:"));
        EXPECT_EQ(texto->toPlainText().split(u'\n').constFirst(), c.resumen);
        // Read only, and yet selectable and reached by Tab after the help icon.
        EXPECT_TRUE(texto->isReadOnly());
        EXPECT_TRUE(texto->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        control(ventana, "imgAyuda")->setFocus();
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), texto);

        // The next run (here cancelled in the dialog) takes the panel away at its start.
        escritorio.selector_.varias.clear();
        escritorio.selector_.respuesta.clear();
        QTest::mouseClick(control(ventana, "cmd_file01"), Qt::LeftButton);
        ventana.esperarEjecucion();
        EXPECT_TRUE(panel->isHidden());
        EXPECT_EQ(ventana.size(), QSize(517, 172));
        EXPECT_TRUE(texto->toPlainText().isEmpty());
    }
}

TEST_F(VentanaTest, ADroppedFileOfAnAcceptedTypeRunsAndAnythingElseIsRefused) {
    const QString carpeta = raiz.path() + QStringLiteral("/soltados");
    QDir().mkpath(carpeta + QStringLiteral("/carpeta.txt"));
    for (const char* nombre : {"Lista.TXT", "contactos.Ctt", "carta.doc", "lista.CSV"}) {
        QFile::copy(fixture("lista.txt"), carpeta + u'/' + QString::fromUtf8(nombre));
    }
    const QString noValido = QStringLiteral("El archivo especificado no es valido...");
    const struct {
        QList<QUrl> urls;
        QString mensaje;  // empty: the list is written
    } casos[] = {
        {{archivo(carpeta + QStringLiteral("/Lista.TXT"))}, {}},
        {{archivo(carpeta + QStringLiteral("/contactos.Ctt"))}, {}},
        {{archivo(carpeta + QStringLiteral("/lista.CSV"))}, {}},
        {{archivo(carpeta + QStringLiteral("/carta.doc"))}, noValido},
        {{archivo(carpeta + QStringLiteral("/carpeta.txt"))}, noValido},
        // Several make one list; one of them refused refuses them all, and the box names it.
        {{archivo(carpeta + QStringLiteral("/Lista.TXT")),
          archivo(carpeta + QStringLiteral("/contactos.Ctt"))},
         {}},
        {{archivo(carpeta + QStringLiteral("/Lista.TXT")),
          archivo(carpeta + QStringLiteral("/carta.doc"))},
         noValido + QStringLiteral("\r\n") + carpeta + QStringLiteral("/carta.doc")},
        {{QUrl(QStringLiteral("https://tralmix.example.org/lista.txt"))}, noValido},
    };
    const QString lista = escritorio.resultado + QStringLiteral("/Mails_20260305.txt");
    for (const auto& c : casos) {
        QFile::remove(lista);
        escritorio.mensajes.clear();
        ASSERT_TRUE(soltar(ventana, c.urls));
        ASSERT_EQ(escritorio.mensajes.size(), 1u) << c.urls.front().toString().toStdString();
        const Mensaje& m = escritorio.mensajes[0];
        if (c.mensaje.isEmpty()) {
            EXPECT_TRUE(m.texto.startsWith(QStringLiteral("Se ha creado el archivo:")));
            EXPECT_TRUE(QFile::exists(lista));
            EXPECT_EQ(ventana.estado().archivoEntrada,
                      c.urls.back().toLocalFile().toStdU16String());
            // Several files make a report, which the window shows.
            EXPECT_EQ(!control(ventana, "panelResumen")->isHidden(), c.urls.size() > 1);
        } else {
            EXPECT_EQ(m.texto, c.mensaje) << c.urls.front().toString().toStdString();
            EXPECT_EQ(m.estilo, Estilo::Exclamacion);
            EXPECT_EQ(m.titulo, QStringLiteral("Messenger Add-in"));
            EXPECT_FALSE(QFile::exists(lista));
        }
    }
    EXPECT_TRUE(escritorio.selector_.vistos.empty()) << "a dropped file needs no dialog";
    // A quick run never got as far as its progress dialog.
    EXPECT_FALSE(escritorio.reloj->vencer());
    EXPECT_EQ(ventana.findChild<DialogoProgreso*>(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(VentanaTest, AFileOnTheCommandLineRunsOnceTheWindowShows) {
    ventana.procesarAlMostrar(archivosDeArgumentos({fixture("lista.txt")}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(escritorio.mensajes.empty()) << "not before the window shows";
    ventana.show();
    QCoreApplication::processEvents();
    ventana.esperarEjecucion();
    ASSERT_EQ(escritorio.mensajes.size(), 1u);
    EXPECT_TRUE(escritorio.mensajes[0].texto.startsWith(QStringLiteral("Se ha creado")));
    EXPECT_TRUE(QFile::exists(escritorio.resultado + QStringLiteral("/Mails_20260305.txt")));

    // A missing file is named as such, as for a typed path.
    ventana.hide();
    ventana.procesarAlMostrar(archivosDeArgumentos({raiz.path() + QStringLiteral("/no.txt")}));
    ventana.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(escritorio.mensajes.size(), 2u);
    EXPECT_EQ(escritorio.mensajes[1].texto, QStringLiteral("El archivo especificado no existe..."));
}

TEST(ArchivosDeArgumentos, PathsAndFileAddressesBecomeLocalFiles) {
    const QList<QUrl> archivos = archivosDeArgumentos({QStringLiteral("/tmp/a b.txt"),
                                                       QStringLiteral("file:///tmp/c%20d.ctt"),
                                                       QStringLiteral("rel/e.txt")});
    ASSERT_EQ(archivos.size(), 3);
    EXPECT_EQ(archivos[0].toLocalFile(), QStringLiteral("/tmp/a b.txt"));
    EXPECT_EQ(archivos[1].toLocalFile(), QStringLiteral("/tmp/c d.ctt"));
    EXPECT_EQ(archivos[2].toLocalFile(), QDir::currentPath() + QStringLiteral("/rel/e.txt"));
}

TEST_F(VentanaTest, EnterOrSpaceOnTheFocusedButtonPressesItAndItsFocusShows) {
    ventana.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
    auto* boton = control<QPushButton>(ventana, "cmd_file01");
    ASSERT_TRUE(boton->hasFocus()) << "the first focus";
    const QImage conFoco = boton->grab().toImage();
    boton->clearFocus();
    EXPECT_NE(boton->grab().toImage(), conFoco) << "focus leaves no mark";

    for (const Qt::Key tecla : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        boton->setFocus();
        escritorio.selector_.vistos.clear();
        QTest::keyClick(boton, tecla);
        ventana.esperarEjecucion();
        EXPECT_EQ(escritorio.selector_.vistos.size(), 1u) << tecla;
    }
}

TEST(AyudaVentana, WithoutAViewerForTheCompiledHelpTheSamePagesOpenAsHtml) {
    const struct {
        bool chm;
        bool html;
        bool visor;
        const char* abre;  // nullptr: nothing
        bool abreBien = true;
    } casos[] = {
        {true, true, true, "tralmix.chm"},        {true, true, false, "ayuda/index.html"},
        {false, true, false, "ayuda/index.html"}, {true, false, false, "tralmix.chm"},
        {false, false, false, nullptr},           {true, true, true, "tralmix.chm", false},
    };
    for (const auto& c : casos) {
        QTemporaryDir raiz;
        EscritorioFalso escritorio(raiz.path());
        escritorio.visorChm = c.visor;
        if (!c.abreBien) {
            escritorio.noAbre = QStringLiteral("no hay ningún programa para abrirlo");
        }
        QDir().mkpath(escritorio.programa + QStringLiteral("/ayuda"));
        for (const auto& [hay, nombre] :
             {std::pair{c.chm, "tralmix.chm"}, std::pair{c.html, "ayuda/index.html"}}) {
            if (hay) {
                QFile(escritorio.programa + u'/' + QString::fromUtf8(nombre))
                    .open(QIODevice::WriteOnly);
            }
        }
        principal ventana(escritorio);
        ventana.show();
        QTest::mouseDClick(control(ventana, "imgAyuda"), Qt::LeftButton);
        // Missing pages or a failing opener are said in a short box, never passed over.
        const QString abre = escritorio.programa + u'/' + QString::fromUtf8(c.abre);
        const QString aviso = c.abre == nullptr ? qtexto(kSinAyuda)
                              : c.abreBien      ? QString()
                                                : QStringLiteral("No se pudo abrir:\r\n") + abre +
                                                 QStringLiteral(
                                                     "\r\n\r\nMotivo: no hay "
                                                     "ningún programa para "
                                                     "abrirlo");
        if (c.abre == nullptr) {
            EXPECT_TRUE(escritorio.abiertos.empty());
        } else {
            ASSERT_EQ(escritorio.abiertos.size(), 1u) << c.abre;
            EXPECT_EQ(escritorio.abiertos[0], archivo(abre));
        }
        ASSERT_EQ(escritorio.mensajes.size(), aviso.isEmpty() ? 0u : 1u);
        if (!aviso.isEmpty()) {
            EXPECT_EQ(escritorio.mensajes[0].texto, aviso);
            EXPECT_EQ(escritorio.mensajes[0].estilo, Estilo::Exclamacion);
            EXPECT_EQ(escritorio.mensajes[0].titulo, QStringLiteral("Messenger Add-in"));
        }
    }
}

// A run that lasts until the test lets it end or the window asks it to stop, so no test waits
// for real time. It reports one phase first.
struct CorridaLenta {
    std::binary_semaphore informado{0};
    std::binary_semaphore seguir{0};
    std::atomic<int> corridas{0};
    std::atomic<bool> vioCancelado{false};

    Desenlace operator()(Puerto& puerto) {
        ++corridas;
        puerto.progreso(Fase::Limpieza, 1, 4);
        informado.release();
        while (!seguir.try_acquire_for(std::chrono::milliseconds(1))) {
            if (puerto.cancelado()) {
                vioCancelado = true;
                return Desenlace::Interrumpido;
            }
        }
        puerto.mensaje(u"Se ha creado el archivo:", Estilo::Informacion, kTitulo);
        return Desenlace::Escrito;
    }
};

class VentanaLenta : public ::testing::Test {
  protected:
    QTemporaryDir raiz;
    EscritorioFalso escritorio{raiz.path()};
    CorridaLenta lenta;
    principal ventana{escritorio, Motor{[this](Estado&, Puerto& p) { return lenta(p); },
                                        [this](Estado&, Puerto& p, std::vector<std::u16string>) {
                                            return lenta(p);
                                        }}};

    // Starts a run on a dropped file and lets its first report reach the window.
    void arrancar() {
        ventana.recibirArchivos({archivo(fixture("lista.txt"))});
        lenta.informado.acquire();
        QCoreApplication::processEvents();
    }
    DialogoProgreso* dialogo() const {
        auto* d = ventana.findChild<DialogoProgreso*>();
        return d != nullptr && d->isVisible() ? d : nullptr;
    }
};

TEST_F(VentanaLenta, BusyAtOnceTheDialogAfterTheDelayAndCancelStopsTheRunWithoutAWord) {
    ventana.show();
    enum class Gesto { Cancelar, Escape, Cerrar };
    for (const Gesto gesto : {Gesto::Cancelar, Gesto::Escape, Gesto::Cerrar}) {
        arrancar();
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
        EXPECT_EQ(dialogo(), nullptr) << "not before the delay";
        EXPECT_EQ(escritorio.reloj->demora, std::chrono::milliseconds(500));

        ASSERT_TRUE(escritorio.reloj->vencer());
        DialogoProgreso* d = dialogo();
        ASSERT_NE(d, nullptr);
        EXPECT_FALSE(d->isModal()) << "the window's own close button must stay usable";
        auto* etiqueta = d->findChild<QLabel*>();
        EXPECT_EQ(etiqueta->text(), QStringLiteral("Archivo: lista.txt\nLimpiando..."));
        EXPECT_EQ(d->findChild<QProgressBar*>()->value(), 250);
        auto* cancelar = d->findChild<QPushButton*>(QStringLiteral("cancelar"));
        EXPECT_EQ(cancelar->text(), QStringLiteral("Cancelar"));

        switch (gesto) {
            case Gesto::Cancelar:
                QTest::mouseClick(cancelar, Qt::LeftButton);
                break;
            case Gesto::Escape:
                QTest::keyClick(d, Qt::Key_Escape);
                break;
            case Gesto::Cerrar:
                d->close();
                break;
        }
        // The dialog stays, saying so, until the run has stopped.
        EXPECT_EQ(dialogo(), d);
        EXPECT_TRUE(etiqueta->text().endsWith(QStringLiteral("Cancelando...")));
        EXPECT_FALSE(cancelar->isEnabled());

        ventana.esperarEjecucion();
        EXPECT_TRUE(lenta.vioCancelado);
        EXPECT_EQ(dialogo(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(escritorio.mensajes.empty());
        lenta.vioCancelado = false;
    }
}

TEST_F(VentanaLenta, NoSecondRunStartsWhileOneRunsAndTheBoxWaitsForIt) {
    ventana.show();
    arrancar();
    auto* caja = control<QLineEdit>(ventana, "txtFile01");
    EXPECT_TRUE(caja->isReadOnly());
    QTest::mouseClick(control(ventana, "cmd_file01"), Qt::LeftButton);
    QTest::keyClick(caja, Qt::Key_Return);
    ventana.recibirArchivos({archivo(fixture("lista.txt"))});
    EXPECT_FALSE(soltar(ventana, {archivo(fixture("lista.txt"))}));
    EXPECT_EQ(lenta.corridas, 1);

    ASSERT_TRUE(escritorio.reloj->vencer());
    lenta.seguir.release();
    ventana.esperarEjecucion();
    EXPECT_EQ(escritorio.mensajes.size(), 1u);
    EXPECT_FALSE(escritorio.ocupadoConCaja) << "the box ends the busy pointer";
    EXPECT_FALSE(caja->isReadOnly());
    QTest::mouseClick(control(ventana, "cmd_file01"), Qt::LeftButton);
    lenta.informado.acquire();
    EXPECT_EQ(lenta.corridas, 2);
    lenta.seguir.release();
    ventana.esperarEjecucion();
}

TEST_F(VentanaLenta, ClosingTheWindowStopsTheRunAndWaitsForIt) {
    for (const bool conDialogo : {false, true}) {
        SCOPED_TRACE(conDialogo ? "the progress dialog shows" : "busy pointer only");
        ventana.show();
        arrancar();
        if (conDialogo) {
            ASSERT_TRUE(escritorio.reloj->vencer());
            ASSERT_NE(dialogo(), nullptr);
        }
        // What the window manager's close button and Alt+F4 send the window.
        QCloseEvent cierre;
        QCoreApplication::sendEvent(&ventana, &cierre);
        EXPECT_TRUE(cierre.isAccepted());
        EXPECT_FALSE(ventana.enCurso());
        EXPECT_TRUE(lenta.vioCancelado);
        EXPECT_EQ(dialogo(), nullptr);
        EXPECT_TRUE(escritorio.mensajes.empty());
        lenta.vioCancelado = false;
    }
}

}  // namespace
}  // namespace tralmix
