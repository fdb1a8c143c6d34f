// "Opciones de la lista…": what the dialog shows, adds, removes and gives back, and what the
// user's settings keep of it from one start to the next.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "app/opciones_lista.h"

namespace tralmix {
namespace {

std::vector<std::u16string> filas(const QListWidget& lista) {
    std::vector<std::u16string> rutas;
    for (int i = 0; i < lista.count(); ++i) {
        rutas.push_back(lista.item(i)->text().toStdU16String());
    }
    return rutas;
}

// Alt and a letter where the keys go, as a person presses it.
void alt(Qt::Key letra) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), letra, Qt::AltModifier);
}

// Alt and a button's letter: the button goes down at once and is clicked when it comes up again.
void pulsar(QDialog& dialogo, Qt::Key letra, const char* boton) {
    auto* b = dialogo.findChild<QAbstractButton*>(QString::fromUtf8(boton));
    ASSERT_NE(b, nullptr) << boton;
    alt(letra);
    ASSERT_TRUE(b->isDown()) << boton << " has no Alt key";
    while (b->isDown()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

TEST(DialogoOpciones, AddsSeveralRemovesByKeyAndGivesBackEverySetting) {
    OpcionesVentana actuales{{7, "; "}, {u"/casa/bajas.txt"}, false, true};
    int pedidas = 0;
    DialogoOpciones dialogo(
        actuales,
        [&](QWidget*) {
            ++pedidas;
            // Several at once; one already listed is not listed twice.
            return std::vector<std::u16string>{u"/casa/quejas.vcf", u"/casa/bajas.txt",
                                               u"/otra/@dominios.txt"};
        },
        nullptr);
    dialogo.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialogo));
    auto* lista = dialogo.findChild<QListWidget*>(QStringLiteral("exclusiones"));
    auto* quitar = dialogo.findChild<QPushButton*>(QStringLiteral("quitar"));
    auto* depurar = dialogo.findChild<QCheckBox*>(QStringLiteral("depurar"));
    auto* siempre = dialogo.findChild<QCheckBox*>(QStringLiteral("siempreResumen"));
    ASSERT_TRUE(lista && quitar && depurar && siempre);
    EXPECT_EQ(filas(*lista), actuales.exclusiones);
    EXPECT_FALSE(depurar->isChecked());
    EXPECT_TRUE(siempre->isChecked());
    EXPECT_FALSE(quitar->isEnabled()) << "nothing chosen to remove";

    // Everything by its Spanish accelerator: Alt+A adds, Alt+N goes to the list, Alt+Q removes,
    // Alt+P and Alt+M turn the checks.
    pulsar(dialogo, Qt::Key_A, "agregar");
    EXPECT_EQ(pedidas, 1);
    EXPECT_EQ(filas(*lista), (std::vector<std::u16string>{u"/casa/bajas.txt", u"/casa/quejas.vcf",
                                                          u"/otra/@dominios.txt"}));
    alt(Qt::Key_N);
    EXPECT_EQ(QApplication::focusWidget(), lista);
    lista->setCurrentRow(0);
    pulsar(dialogo, Qt::Key_Q, "quitar");
    EXPECT_EQ(filas(*lista),
              (std::vector<std::u16string>{u"/casa/quejas.vcf", u"/otra/@dominios.txt"}));
    // The next entry takes the removed one's place, so Delete goes on from there.
    QTest::keyClick(lista, Qt::Key_Delete);
    EXPECT_EQ(filas(*lista), std::vector<std::u16string>{u"/otra/@dominios.txt"});
    pulsar(dialogo, Qt::Key_P, "depurar");
    pulsar(dialogo, Qt::Key_M, "siempreResumen");

    const OpcionesVentana o = dialogo.opciones();
    EXPECT_EQ(o.lista.porGrupo, 7u);
    EXPECT_EQ(o.lista.separador, "; ");
    EXPECT_EQ(o.exclusiones, std::vector<std::u16string>{u"/otra/@dominios.txt"});
    EXPECT_TRUE(o.depurar);
    EXPECT_FALSE(o.siempreResumen);

    // "Restablecer" brings back a new user's layout and checks, never dropping the person's files.
    dialogo.findChild<QSpinBox*>(QStringLiteral("porGrupo"))->setValue(9);
    pulsar(dialogo, Qt::Key_R, "restablecer");
    const OpcionesVentana r = dialogo.opciones();
    EXPECT_EQ(r.lista.porGrupo, 48u);
    EXPECT_EQ(r.lista.separador, ", ");
    EXPECT_FALSE(r.depurar);
    EXPECT_FALSE(r.siempreResumen);
    EXPECT_EQ(r.exclusiones, o.exclusiones);
}

TEST(OpcionesGuardadas, ANewUserHasNoneAndWhatIsKeptComesBackAsItWas) {
    QTemporaryDir carpeta;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, carpeta.path());
    const OpcionesVentana nuevo = leerOpcionesGuardadas();
    EXPECT_EQ(nuevo.lista.porGrupo, 48u);
    EXPECT_EQ(nuevo.lista.separador, ", ");
    EXPECT_TRUE(nuevo.exclusiones.empty());
    EXPECT_FALSE(nuevo.depurar);
    EXPECT_FALSE(nuevo.siempreResumen);

    const struct {
        const char* que;
        OpcionesVentana guardadas;
    } casos[] = {
        // A file that no longer exists is kept: the run says it cannot read it.
        {"two files, one gone, both checks",
         {{12, " | "}, {u"/no/existe/bajas.txt", u"/casa/Ñandú 名单, \"x\".vcf"}, true, true}},
        {"a single file, the clean-up alone", {{48, ", "}, {u"/casa/bajas.txt"}, true, false}},
        {"the list emptied again", {{48, ", "}, {}, false, false}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        guardarOpciones(c.guardadas);
        const OpcionesVentana leidas = leerOpcionesGuardadas();
        EXPECT_EQ(leidas.lista.porGrupo, c.guardadas.lista.porGrupo);
        EXPECT_EQ(leidas.lista.separador, c.guardadas.lista.separador);
        EXPECT_EQ(leidas.exclusiones, c.guardadas.exclusiones);
        EXPECT_EQ(leidas.depurar, c.guardadas.depurar);
        EXPECT_EQ(leidas.siempreResumen, c.guardadas.siempreResumen);
    }
}

}  // namespace
}  // namespace tralmix
