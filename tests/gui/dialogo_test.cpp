#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace tralmix
