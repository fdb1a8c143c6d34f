#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "dialog/cfiledialog.h"
#include "dialog/selector_qt.h"

using namespace std::string_literals;

namespace tralmix {
namespace {

// A chooser that records the record it was shown and answers with prepared buffers.
class SelectorFalso : public SelectorArchivos {
  public:
    bool responder = false;
    std::u16string bufferArchivo;
    std::u16string bufferTitulo;
    std::vector<RegistroLlamada> vistos;
    std::vector<bool> modos;

    bool mostrar(RegistroLlamada& registro, bool abrir) override {
        vistos.push_back(registro);
        modos.push_back(abrir);
        if (responder) {
            registro.lpstrFile = bufferArchivo;
            registro.lpstrFileTitle = bufferTitulo;
        }
        return responder;
    }
};

class AvisoFalso : public AvisoError {
  public:
    struct Caja {
        std::u16string texto;
        std::u16string titulo;
    };
    std::vector<Caja> cajas;
    void mostrar(std::u16string_view texto, std::u16string_view titulo) override {
        cajas.push_back({std::u16string(texto), std::u16string(titulo)});
    }
};

const std::u16string kFiltroProceso = u"Txt Files (*.Txt) | *.txt|MSN Files  (*.ctt) | *.ctt";

class CFileDialogTest : public ::testing::Test {
  protected:
    SelectorFalso selector;
    AvisoFalso aviso;
    CFileDialog dialogo{selector, aviso};
};

TEST(ConvertirFiltro, TurnsBarsIntoNulsAndEndsWithTwo) {
    const struct {
        std::u16string filtro;
        std::u16string esperado;
    } casos[] = {
        {u"", u"\0\0"s},
        {u"a|b", u"a\0b\0\0"s},
        {kFiltroProceso, u"Txt Files (*.Txt) \0 *.txt\0MSN Files  (*.ctt) \0 *.ctt\0\0"s},
        {u"||", u"\0\0\0\0"s},
    };
    for (const auto& caso : casos) {
        EXPECT_EQ(CFileDialog::convertirFiltro(caso.filtro), caso.esperado);
    }
}

TEST(ConvertirFiltro, PairsKeepTheirSpaces) {
    const auto pares = paresFiltro(CFileDialog::convertirFiltro(kFiltroProceso));
    ASSERT_EQ(pares.size(), 2u);
    EXPECT_EQ(pares[0].descripcion, u"Txt Files (*.Txt) ");
    EXPECT_EQ(pares[0].patron, u" *.txt");
    EXPECT_EQ(pares[1].descripcion, u"MSN Files  (*.ctt) ");
    EXPECT_EQ(pares[1].patron, u" *.ctt");
    EXPECT_TRUE(paresFiltro(CFileDialog::convertirFiltro(u"")).empty());
    // A description without its pattern cannot be offered.
    EXPECT_EQ(paresFiltro(CFileDialog::convertirFiltro(u"a|b|c")).size(), 1u);
}

TEST(ConvertirFiltro, LongerThanTheCounterIsAnError) {
    EXPECT_NO_THROW(CFileDialog::convertirFiltro(std::u16string(32767, u'x')));
    try {
        CFileDialog::convertirFiltro(std::u16string(32768, u'x'));
        FAIL() << "no error for a filter of 32768 characters";
    } catch (const ErrorDialogo& error) {
        EXPECT_EQ(error.numero, kErrorDesbordamiento);
    }
}

TEST_F(CFileDialogTest, RecordCarriesThePropertiesAndFixedSizes) {
    dialogo.DialogTitle(u"Abrir");
    dialogo.Filter(kFiltroProceso);
    dialogo.FilterIndex(-1);
    dialogo.Flags(12292);
    dialogo.hWndParent(0x1234);
    dialogo.InitialDir(u"/opt/tralmix");
    dialogo.Filename(u"lista.txt");
    const RegistroLlamada r = dialogo.registro();
    EXPECT_EQ(r.lStructSize, 76u);
    EXPECT_EQ(r.hwndOwner, 0x1234u);
    EXPECT_EQ(r.nFilterIndex, -1);  // sign-extended
    EXPECT_EQ(r.Flags, 12292);
    EXPECT_EQ(r.nMaxFile, 260u);
    EXPECT_EQ(r.nMaxFileTitle, 260u);
    EXPECT_EQ(r.lpstrFile, u"lista.txt" + std::u16string(251, u'\0'));
    EXPECT_EQ(r.lpstrFileTitle, std::u16string(260, u'\0'));
    EXPECT_EQ(r.lpstrInitialDir, u"/opt/tralmix");
    EXPECT_EQ(r.lpstrTitle, u"Abrir");
    EXPECT_EQ(r.lpstrFilter, CFileDialog::convertirFiltro(kFiltroProceso));
}

TEST_F(CFileDialogTest, EmptyTextsArePassedAsTextAndUnsetFolderAsNone) {
    RegistroLlamada r = dialogo.registro();
    ASSERT_TRUE(r.lpstrTitle.has_value());
    EXPECT_TRUE(r.lpstrTitle->empty());
    ASSERT_TRUE(r.lpstrDefExt.has_value());
    EXPECT_TRUE(r.lpstrDefExt->empty());
    EXPECT_FALSE(r.lpstrInitialDir.has_value());
    EXPECT_TRUE(dialogo.InitialDir().empty());

    dialogo.InitialDir(u"");
    r = dialogo.registro();
    ASSERT_TRUE(r.lpstrInitialDir.has_value());
    EXPECT_TRUE(r.lpstrInitialDir->empty());
}

TEST_F(CFileDialogTest, MaxFileSizeIsKeptButNeverUsed) {
    const RegistroLlamada antes = dialogo.registro();
    for (std::int16_t valor : {std::int16_t{0}, std::int16_t{1}, std::int16_t{260},
                               std::int16_t{32767}, std::int16_t{-32768}}) {
        dialogo.MaxFileSize(valor);
        EXPECT_EQ(dialogo.MaxFileSize(), valor);
        const RegistroLlamada despues = dialogo.registro();
        EXPECT_EQ(despues.nMaxFile, antes.nMaxFile);
        EXPECT_EQ(despues.lpstrFile, antes.lpstrFile);
    }
}

TEST_F(CFileDialogTest, NameOf260FitsTheBufferAnd261IsRefused) {
    const std::u16string justo(260, u'n');
    dialogo.Filename(justo);
    EXPECT_EQ(dialogo.registro().lpstrFile, justo);  // no NUL left inside

    selector.responder = true;
    selector.bufferArchivo = u"/tmp/elegido.txt\0"s;
    selector.bufferTitulo = u"elegido.txt\0"s;
    EXPECT_TRUE(dialogo.Show(true));
    EXPECT_TRUE(aviso.cajas.empty());

    for (const bool esTitulo : {false, true}) {
        SelectorFalso otro;
        otro.responder = true;
        AvisoFalso cajas;
        CFileDialog largo(otro, cajas);
        const std::u16string demasiado(261, u'n');
        if (esTitulo) {
            largo.FileTitle(demasiado);
        } else {
            largo.Filename(demasiado);
        }
        EXPECT_FALSE(largo.Show(true));
        EXPECT_TRUE(otro.vistos.empty()) << "the chooser must not be shown";
        ASSERT_EQ(cajas.cajas.size(), 1u);
        EXPECT_EQ(cajas.cajas[0].titulo, u" Norvath");
        EXPECT_EQ(cajas.cajas[0].texto.rfind(u"Error: 5. ", 0), 0u);
        EXPECT_GT(cajas.cajas[0].texto.size(), std::u16string(u"Error: 5. ").size());
        EXPECT_EQ(esTitulo ? largo.FileTitle() : largo.Filename(), demasiado);
    }
}

TEST_F(CFileDialogTest, CancelLeavesFilenameAndTitleAsTheyWere) {
    dialogo.Filename(u"previo.txt");
    dialogo.FileTitle(u"previo");
    selector.responder = false;
    selector.bufferArchivo = u"/otro\0"s;
    EXPECT_FALSE(dialogo.Show(true));
    EXPECT_EQ(dialogo.Filename(), u"previo.txt");
    EXPECT_EQ(dialogo.FileTitle(), u"previo");
    EXPECT_TRUE(aviso.cajas.empty());

    CFileDialog nuevo(selector, aviso);
    EXPECT_FALSE(nuevo.Show(false));
    EXPECT_TRUE(nuevo.Filename().empty());
    EXPECT_EQ(selector.modos.back(), false);  // the Save dialog was asked for
}

TEST_F(CFileDialogTest, AnswersAreCutAtTheirFirstNul) {
    const struct {
        std::u16string bufer;
        std::u16string esperado;
    } casos[] = {
        {u"sin nulos", u"sin nulos"},
        {u"\0empieza"s, u""},
        {u"ab\0cd"s, u"ab"},
        {u"/home/ana/lista.txt" + std::u16string(241, u'\0'), u"/home/ana/lista.txt"},
    };
    selector.responder = true;
    for (const auto& caso : casos) {
        selector.bufferArchivo = caso.bufer;
        selector.bufferTitulo = caso.bufer;
        ASSERT_TRUE(dialogo.Show(true));
        EXPECT_EQ(dialogo.Filename(), caso.esperado);
        EXPECT_EQ(dialogo.FileTitle(), caso.esperado);
    }
}

TEST(PlanSelector, FiltersBecomeQtNameFiltersWithThePreselectedPair) {
    SelectorFalso selector;
    AvisoFalso aviso;
    CFileDialog dialogo(selector, aviso);
    dialogo.Filter(kFiltroProceso);
    const struct {
        std::int16_t indice;
        int elegido;
    } casos[] = {{0, 0}, {1, 0}, {2, 1}, {3, 0}, {-1, 0}};
    for (const auto& caso : casos) {
        dialogo.FilterIndex(caso.indice);
        const PlanSelector plan = planSelector(dialogo.registro(), true);
        ASSERT_EQ(plan.filtros.size(), 2);
        EXPECT_EQ(plan.filtros[0], QStringLiteral("Txt Files (*.Txt) (*.txt)"));
        EXPECT_EQ(plan.filtros[1], QStringLiteral("MSN Files  (*.ctt) (*.ctt)"));
        EXPECT_EQ(plan.filtroElegido, caso.elegido) << "FilterIndex " << caso.indice;
    }
    dialogo.Filter(u"");
    EXPECT_EQ(planSelector(dialogo.registro(), true).filtroElegido, -1);
    EXPECT_EQ(filtroQt({u"Todos", u"*.txt; *.ctt;"}), QStringLiteral("Todos (*.txt *.ctt)"));
}

TEST(PlanSelector, FlagsAndTextsReachTheChooser) {
    SelectorFalso selector;
    AvisoFalso aviso;
    CFileDialog dialogo(selector, aviso);
    dialogo.DialogTitle(u"Abrir");
    dialogo.InitialDir(u"/opt/tralmix");
    dialogo.Filename(u"propuesto.txt");
    dialogo.DefaultExt(u".txt");
    dialogo.hWndParent(42);

    const struct {
        std::int32_t flags;
        bool abrir;
        bool debeExistir;
        bool ofrecerCrear;
        bool confirmar;
    } casos[] = {
        {12292, true, true, false, false},  // what the processing run passes
        {8192 | 4, true, false, true, false}, {0, true, false, false, false},
        {4096, false, false, false, false},   {2, false, false, false, true},
    };
    for (const auto& caso : casos) {
        dialogo.Flags(caso.flags);
        const PlanSelector plan = planSelector(dialogo.registro(), caso.abrir);
        EXPECT_EQ(plan.abrir, caso.abrir);
        EXPECT_EQ(plan.debeExistir, caso.debeExistir) << caso.flags;
        EXPECT_EQ(plan.ofrecerCrear, caso.ofrecerCrear) << caso.flags;
        EXPECT_EQ(plan.confirmarSobrescribir, caso.confirmar) << caso.flags;
        EXPECT_EQ(plan.titulo, QStringLiteral("Abrir"));
        EXPECT_EQ(plan.carpeta, QStringLiteral("/opt/tralmix"));
        EXPECT_EQ(plan.nombrePropuesto, QStringLiteral("propuesto.txt"));
        EXPECT_EQ(plan.extension, QStringLiteral("txt"));
        EXPECT_EQ(plan.dueno, 42u);
    }
    CFileDialog sinCarpeta(selector, aviso);
    EXPECT_FALSE(planSelector(sinCarpeta.registro(), true).carpeta.has_value());
}

TEST(EscribirRespuesta, FillsBothBuffersOrRefusesAPathThatDoesNotFit) {
    RegistroLlamada r;
    escribirRespuesta(r, QStringLiteral("/home/ana/Listas/clientes.TXT"));
    EXPECT_EQ(r.lpstrFile.size(), 260u);
    EXPECT_EQ(r.lpstrFile.substr(0, r.lpstrFile.find(u'\0')), u"/home/ana/Listas/clientes.TXT");
    EXPECT_EQ(r.lpstrFileTitle.substr(0, r.lpstrFileTitle.find(u'\0')), u"clientes.TXT");

    const QString cabe = u'/' + QString(258, u'a');
    EXPECT_NO_THROW(escribirRespuesta(r, cabe));
    EXPECT_THROW(escribirRespuesta(r, cabe + u'a'), ErrorDialogo);
}

// The answer of a chooser where several files may be chosen, as the system writes it.
TEST(RutasElegidas, OnePathOrTheFolderAndItsNames) {
    const struct {
        std::u16string respuesta;
        std::vector<std::u16string> rutas;
    } casos[] = {
        {u"C:\\Listas\\a.txt\0\0"s, {u"C:\\Listas\\a.txt"}},
        {u"C:\\Listas\0a.txt\0b.vcf\0\0"s, {u"C:\\Listas\\a.txt", u"C:\\Listas\\b.vcf"}},
        // A drive's root already ends in its separator.
        {u"C:\\\0a.txt\0b.txt\0\0"s, {u"C:\\a.txt", u"C:\\b.txt"}},
        {u"/home/ana\0a.txt\0sub/b.txt\0\0"s, {u"/home/ana/a.txt", u"/home/ana/sub/b.txt"}},
        {u"/\0a.txt\0b.txt\0\0"s, {u"/a.txt", u"/b.txt"}},
        // Names in any script, with spaces, and what the padding after the end holds.
        {u"Z:\\tmp\\Ελληνικά\0名单 1.txt\0x y.ctt\0\0basura\0"s,
         {u"Z:\\tmp\\Ελληνικά\\名单 1.txt", u"Z:\\tmp\\Ελληνικά\\x y.ctt"}},
        // A buffer that ends without its closing NULs still ends the list.
        {u"/home/ana\0a.txt\0b.txt"s, {u"/home/ana/a.txt", u"/home/ana/b.txt"}},
        {u"/home/ana/a.txt"s, {u"/home/ana/a.txt"}},
        {u"\0\0"s, {}},
        {u""s, {}},
    };
    for (const auto& caso : casos) {
        EXPECT_EQ(rutasElegidas(caso.respuesta), caso.rutas);
    }
}

TEST_F(CFileDialogTest, SeveralAtOnceAddTheBitsAndRoomAndAnswerEveryPath) {
    dialogo.Flags(12292);
    dialogo.Filename(u"propuesto.txt");
    EXPECT_EQ(dialogo.registro().Flags, 12292) << "one file: the flags as given";
    dialogo.Varios(true);
    const RegistroLlamada r = dialogo.registro();
    EXPECT_EQ(r.Flags, 12292 | kOfnVarios | kOfnExplorador);
    EXPECT_EQ(r.nMaxFile, kLargoBuferVarios);
    EXPECT_EQ(r.lpstrFile.size(), kLargoBuferVarios);
    EXPECT_EQ(r.lpstrFile.substr(0, 14), u"propuesto.txt\0"s);
    EXPECT_EQ(r.nMaxFileTitle, 260u);
    EXPECT_EQ(dialogo.Flags(), 12292) << "the property itself is not changed";

    selector.responder = true;
    selector.bufferArchivo = u"/home/ana\0a.txt\0b.txt\0\0"s;
    selector.bufferTitulo = std::u16string(260, u'\0');
    ASSERT_TRUE(dialogo.Show(true));
    EXPECT_EQ(dialogo.Filenames(),
              (std::vector<std::u16string>{u"/home/ana/a.txt", u"/home/ana/b.txt"}));
    EXPECT_EQ(dialogo.Filename(), u"/home/ana/a.txt");
    EXPECT_EQ(dialogo.FileTitle(), u"");

    selector.bufferArchivo = u"/home/ana/c.txt\0\0"s;
    selector.bufferTitulo = u"c.txt\0"s;
    ASSERT_TRUE(dialogo.Show(true));
    EXPECT_EQ(dialogo.Filenames(), std::vector<std::u16string>{u"/home/ana/c.txt"});
    EXPECT_EQ(dialogo.FileTitle(), u"c.txt");

    // A dialog that answers with nothing chose nothing.
    selector.bufferArchivo = std::u16string(10, u'\0');
    EXPECT_FALSE(dialogo.Show(true));
    EXPECT_EQ(dialogo.Filename(), u"/home/ana/c.txt");
}

TEST(EscribirRespuestas, SeveralBecomeTheirFolderAndNamesAndTheChooserOfQtIsAskedForSeveral) {
    SelectorFalso selector;
    AvisoFalso aviso;
    CFileDialog dialogo(selector, aviso);
    dialogo.Flags(12292);
    dialogo.Varios(true);
    RegistroLlamada r = dialogo.registro();
    const PlanSelector plan = planSelector(r, true);
    EXPECT_TRUE(plan.varios);
    EXPECT_TRUE(plan.debeExistir);
    EXPECT_FALSE(planSelector(r, false).varios) << "Save never takes several";
    dialogo.Varios(false);
    EXPECT_FALSE(planSelector(dialogo.registro(), true).varios);

    const struct {
        QStringList rutas;
        std::u16string respuesta;
    } casos[] = {
        {{QStringLiteral("/home/ana/a.txt"), QStringLiteral("/home/ana/b c.vcf")},
         u"/home/ana\0a.txt\0b c.vcf\0\0"s},
        {{QStringLiteral("/home/ana/a.txt"), QStringLiteral("/home/ana/sub/b.txt")},
         u"/home/ana\0a.txt\0sub/b.txt\0\0"s},
        {{QStringLiteral("/a.txt"), QStringLiteral("/home/b.txt")}, u"/\0a.txt\0home/b.txt\0\0"s},
        {{QStringLiteral("/home/ana/a.txt")}, u"/home/ana/a.txt\0"s},
    };
    for (const auto& caso : casos) {
        escribirRespuestas(r, caso.rutas);
        EXPECT_EQ(r.lpstrFile.size(), kLargoBuferVarios);
        EXPECT_EQ(r.lpstrFile.substr(0, caso.respuesta.size()), caso.respuesta);
        // What Show reads back is what was chosen.
        std::vector<std::u16string> esperadas;
        for (const QString& ruta : caso.rutas) {
            esperadas.push_back(ruta.toStdU16String());
        }
        EXPECT_EQ(rutasElegidas(r.lpstrFile), esperadas);
    }
    // More names than the buffer holds: refused, never cut.
    QStringList muchas;
    for (int i = 0; i < 2000; ++i) {
        muchas.append(QStringLiteral("/home/ana/direcciones-%1.txt").arg(i));
    }
    EXPECT_THROW(escribirRespuestas(r, muchas), ErrorDialogo);
}

// Qt's own dialog behind the object, asked for several files: two names typed at once in its
// name box come back as two full paths; with one file allowed, one name is all it takes.
TEST(SelectorQt, QtsDialogGivesEveryFileChosenAtOnce) {
    QTemporaryDir carpeta;
    for (const char* nombre : {"a.txt", "b c.vcf", "d.txt"}) {
        QFile f(carpeta.path() + u'/' + QString::fromUtf8(nombre));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (const bool varios : {true, false}) {
        SelectorQt selector;
        AvisoFalso aviso;
        CFileDialog dialogo(selector, aviso);
        dialogo.InitialDir(carpeta.path().toStdU16String());
        dialogo.DialogTitle(u"Abrir");
        dialogo.Filter(u"Todos | *");
        dialogo.Flags(12292);
        dialogo.Varios(varios);
        bool visto = false;
        QFileDialog::FileMode modo = QFileDialog::AnyFile;
        QTimer reloj;
        // Until the dialog is up: then the names are typed and the dialog accepted.
        QObject::connect(&reloj, &QTimer::timeout, [&] {
            auto* abierto = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (abierto == nullptr) {
                return;
            }
            reloj.stop();
            visto = true;
            modo = abierto->fileMode();
            auto* nombre = abierto->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(nombre, nullptr);
            nombre->setText(varios ? QStringLiteral("\"b c.vcf\" \"a.txt\"")
                                   : QStringLiteral("d.txt"));
            QTest::keyClick(nombre, Qt::Key_Return);
        });
        reloj.start(10);
        ASSERT_TRUE(dialogo.Show(true));
        ASSERT_TRUE(visto);
        const std::u16string raiz = QDir(carpeta.path()).canonicalPath().toStdU16String();
        if (varios) {
            EXPECT_EQ(modo, QFileDialog::ExistingFiles);
            auto elegidas = dialogo.Filenames();
            std::sort(elegidas.begin(), elegidas.end());
            EXPECT_EQ(elegidas,
                      (std::vector<std::u16string>{raiz + u"/a.txt", raiz + u"/b c.vcf"}));
        } else {
            EXPECT_EQ(modo, QFileDialog::ExistingFile);
            EXPECT_EQ(dialogo.Filenames(), std::vector<std::u16string>{raiz + u"/d.txt"});
            EXPECT_EQ(dialogo.FileTitle(), u"d.txt");
        }
        EXPECT_TRUE(aviso.cajas.empty());
    }
}

}  // namespace
}  // namespace tralmix
