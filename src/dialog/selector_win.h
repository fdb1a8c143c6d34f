#pragma once

// The Windows side of CFileDialog: the system's common Open and Save dialogs behind Show, in
// their wide form so that names in any script survive, and a message box for its errors.

#include <windows.h>

#include <commdlg.h>

#include <cstddef>
#include <string>

#include "dialog/cfiledialog.h"

namespace tralmix {

// The record without the fields later systems added (OPENFILENAME_SIZE_VERSION_400W), as the
// program has always passed it: 76 bytes in a 32-bit program, 136 in a 64-bit one.
inline constexpr DWORD kTamanoRegistroWin =
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(OPENFILENAMEW::lpTemplateName);

// The record in the system's form, with the buffers its pointers point into. The file and title
// buffers hold one character more than they say (nMaxFile, nMaxFileTitle): a proposed name that
// fills all 260 still ends in a NUL the system can find.
struct LlamadaWin {
    OPENFILENAMEW ofn{};
    std::wstring filtro;
    std::wstring archivo;
    std::wstring tituloArchivo;
    std::wstring carpeta;
    std::wstring titulo;
    std::wstring extension;

    LlamadaWin() = default;
    LlamadaWin(const LlamadaWin&) = delete;
    LlamadaWin& operator=(const LlamadaWin&) = delete;
};

// Fills llamada from the record exactly as CFileDialog lists it; every other field stays zero.
void prepararLlamada(const RegistroLlamada& registro, LlamadaWin& llamada);

// After a confirmed dialog: the chosen path and name back into the record's buffers; where several
// files may be chosen (kOfnVarios), the whole answer up to its closing double NUL.
void leerRespuesta(const LlamadaWin& llamada, RegistroLlamada& registro);

// GetOpenFileNameW or GetSaveFileNameW, modal to the record's owner. A cancelled dialog answers
// false; a failed one too, except a path too long for the buffer, which raises ErrorDialogo
// with the system's error code (CommDlgExtendedError).
class SelectorWin : public SelectorArchivos {
  public:
    bool mostrar(RegistroLlamada& registro, bool abrir) override;
};

// The error box: modal to the active window, OK only, no icon.
class AvisoWin : public AvisoError {
  public:
    void mostrar(std::u16string_view texto, std::u16string_view titulo) override;
};

}  // namespace tralmix
