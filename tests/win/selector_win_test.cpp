// The record the Win32 chooser hands to GetOpenFileNameW, filled from CFileDialog's record for
// the run's own settings, and the answer read back.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/cfiledialog.h"
#include "dialog/selector_win.h"

namespace tralmix {
namespace {

class SinSelector : public SelectorArchivos {
  public:
    bool mostrar(RegistroLlamada&, bool) override { return false; }
};
class SinAviso : public AvisoError {
  public:
    void mostrar(std::u16string_view, std::u16string_view) override {}
};

RegistroLlamada registroDeLaCorrida() {
    SinSelector selector;
    SinAviso aviso;
    CFileDialog d(selector, aviso);
    d.InitialDir(u"C:\\Programas\\Tralmix ñ");
    d.DialogTitle(u"Abrir");
    d.Filter(u"Txt Files (*.Txt) | *.txt|MSN Files  (*.ctt) | *.ctt");
    d.FilterIndex(0);
    d.Flags(12292);
    d.hWndParent(0x1234);
    return d.registro();
}

TEST(SelectorWin, FillsTheRecordAsListed) {
    const RegistroLlamada r = registroDeLaCorrida();
    LlamadaWin l;
    prepararLlamada(r, l);
    const OPENFILENAMEW& o = l.ofn;
    EXPECT_EQ(o.lStructSize, sizeof(void*) == 4 ? 76u : 136u);
    EXPECT_EQ(o.hwndOwner, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(o.hInstance, nullptr);
    const std::wstring filtro(L"Txt Files (*.Txt) \0 *.txt\0MSN Files  (*.ctt) \0 *.ctt\0\0", 52);
    ASSERT_NE(o.lpstrFilter, nullptr);
    EXPECT_EQ(std::wstring(o.lpstrFilter, filtro.size()), filtro);
    EXPECT_EQ(o.lpstrCustomFilter, nullptr);
    EXPECT_EQ(o.nMaxCustFilter, 0u);
    EXPECT_EQ(o.nFilterIndex, 0u);
    EXPECT_EQ(o.nMaxFile, 260u);
    EXPECT_EQ(o.lpstrFile[0], L'\0');
    EXPECT_EQ(o.nMaxFileTitle, 260u);
    EXPECT_EQ(o.lpstrFileTitle[0], L'\0');
    EXPECT_STREQ(o.lpstrInitialDir, L"C:\\Programas\\Tralmix ñ");
    EXPECT_STREQ(o.lpstrTitle, L"Abrir");
    EXPECT_EQ(o.Flags, 12292u);
    EXPECT_EQ(o.nFileOffset, 0);
    EXPECT_EQ(o.nFileExtension, 0);
    ASSERT_NE(o.lpstrDefExt, nullptr);  // an empty text, never null
    EXPECT_STREQ(o.lpstrDefExt, L"");
    EXPECT_EQ(o.lCustData, 0);
    EXPECT_EQ(o.lpfnHook, nullptr);
    EXPECT_EQ(o.lpTemplateName, nullptr);
}

TEST(SelectorWin, InitialDirNeverSetIsNull) {
    SinSelector selector;
    SinAviso aviso;
    CFileDialog d(selector, aviso);
    LlamadaWin l;
    prepararLlamada(d.registro(), l);
    EXPECT_EQ(l.ofn.lpstrInitialDir, nullptr);
    EXPECT_STREQ(l.ofn.lpstrTitle, L"");
}

// A proposed name of 260 characters fills the buffer whole and still ends where the system looks.
TEST(SelectorWin, FullBufferStillEndsInNul) {
    SinSelector selector;
    SinAviso aviso;
    CFileDialog d(selector, aviso);
    d.Filename(std::u16string(260, u'a'));
    LlamadaWin l;
    prepararLlamada(d.registro(), l);
    EXPECT_EQ(std::wstring(l.ofn.lpstrFile), std::wstring(260, L'a'));
}

TEST(SelectorWin, AnswerReadBackInAnyScript) {
    RegistroLlamada r = registroDeLaCorrida();
    LlamadaWin l;
    prepararLlamada(r, l);
    const std::wstring ruta = L"Z:\\tmp\\Ελληνικά\\名单.txt";
    ruta.copy(l.ofn.lpstrFile, ruta.size());
    l.ofn.lpstrFile[ruta.size()] = L'\0';
    const std::wstring nombre = L"名单.txt";
    nombre.copy(l.ofn.lpstrFileTitle, nombre.size());
    l.ofn.lpstrFileTitle[nombre.size()] = L'\0';
    leerRespuesta(l, r);
    EXPECT_EQ(r.lpstrFile.substr(0, r.lpstrFile.find(u'\0')), u"Z:\\tmp\\Ελληνικά\\名单.txt");
    EXPECT_EQ(r.lpstrFileTitle.substr(0, r.lpstrFileTitle.find(u'\0')), u"名单.txt");
    EXPECT_EQ(r.lpstrFile.size(), 260u);
}

// Several at once: the system is asked for them with a buffer for many names, and its answer (the
// folder, then each name) comes back whole, to be split into full paths.
TEST(SelectorWin, SeveralFilesAskedForAndTheirAnswerReadBackWhole) {
    SinSelector selector;
    SinAviso aviso;
    CFileDialog d(selector, aviso);
    d.Flags(12292);
    d.Varios(true);
    RegistroLlamada r = d.registro();
    LlamadaWin l;
    prepararLlamada(r, l);
    EXPECT_EQ(l.ofn.Flags, 12292u | OFN_ALLOWMULTISELECT | OFN_EXPLORER);
    EXPECT_EQ(l.ofn.nMaxFile, kLargoBuferVarios);
    const std::wstring respuesta(L"Z:\\tmp\\Listas ñ\0a.txt\0名单.vcf\0\0", 30);
    respuesta.copy(l.ofn.lpstrFile, respuesta.size());
    leerRespuesta(l, r);
    EXPECT_EQ(
        rutasElegidas(r.lpstrFile),
        (std::vector<std::u16string>{u"Z:\\tmp\\Listas ñ\\a.txt", u"Z:\\tmp\\Listas ñ\\名单.vcf"}));
}

}  // namespace
}  // namespace tralmix
