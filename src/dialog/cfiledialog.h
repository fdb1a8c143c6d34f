#pragma once

// CFileDialog: asks the user for one file through an Open or Save chooser, or for several at once
// when asked to (Varios). The caller sets the properties, calls Show and reads Filename (and
// Filenames) when Show answered true. The chooser itself and the error box stand behind small
// interfaces, so the steps before and after them run without a display.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extract/puerto.h"

namespace tralmix {

// Length of the file and title buffers, terminator included.
inline constexpr std::size_t kLargoBufer = 260;
// Size of the call record in its original 32-bit layout, kept for choosers that check it.
inline constexpr std::uint32_t kTamanoRegistro = 76;

// Option bits of the chooser that mean something here.
inline constexpr std::int32_t kOfnSobrescribir = 0x2;  // ask before replacing (Save)
inline constexpr std::int32_t kOfnOcultarSoloLectura = 0x4;
inline constexpr std::int32_t kOfnDebeExistir = 0x1000;
inline constexpr std::int32_t kOfnOfrecerCrear = 0x2000;
// Several files at once (Varios): more than one may be chosen, and the answer is the folder then
// each name, every one ended by NUL and the whole by one more NUL.
inline constexpr std::int32_t kOfnVarios = 0x200;
inline constexpr std::int32_t kOfnExplorador = 0x80000;

// Length of the file buffer when several files may be chosen, terminator included: hundreds of
// names of a folder at once.
inline constexpr std::size_t kLargoBuferVarios = 32768;

// The call record handed to the chooser. Text fields are optional where "not given" and "empty
// text" differ for the chooser.
struct RegistroLlamada {
    std::uint32_t lStructSize = 0;
    std::uintptr_t hwndOwner = 0;
    // Descriptions and patterns alternating, each ended by NUL, the list ended by one more NUL.
    std::u16string lpstrFilter;
    std::int32_t nFilterIndex = 0;
    // In: the proposed name padded with NULs; out: the chosen full path, NUL-terminated.
    std::u16string lpstrFile;
    std::uint32_t nMaxFile = 0;
    // In: the proposed title padded with NULs; out: the chosen name without its folder.
    std::u16string lpstrFileTitle;
    std::uint32_t nMaxFileTitle = 0;
    std::optional<std::u16string> lpstrInitialDir;
    std::optional<std::u16string> lpstrTitle;
    std::int32_t Flags = 0;
    std::optional<std::u16string> lpstrDefExt;
};

// An error raised while Show prepares or reads the record; it ends up in the error box.
struct ErrorDialogo {
    int numero = 0;
    std::u16string descripcion;
};

// Error numbers of the box: an argument that does not fit, and a counter overflow.
inline constexpr int kErrorArgumento = 5;
inline constexpr int kErrorDesbordamiento = 6;

// The chooser behind Show. It shows the dialog for the record (Open when abrir) and blocks until
// it is closed. On a confirmed file it writes the full path into lpstrFile and the name into
// lpstrFileTitle, each followed by NUL, and answers true; a cancelled or failed dialog answers
// false. It may throw ErrorDialogo when the answer does not fit the record. When the record's
// Flags hold kOfnVarios and several files were chosen, lpstrFile holds their folder and then each
// name, each ended by NUL, the list by one more NUL, and lpstrFileTitle is left empty.
class SelectorArchivos {
  public:
    virtual ~SelectorArchivos() = default;
    virtual bool mostrar(RegistroLlamada& registro, bool abrir) = 0;
};

// Where the error box goes: a modal box with an OK button and no icon.
class AvisoError {
  public:
    virtual ~AvisoError() = default;
    virtual void mostrar(std::u16string_view texto, std::u16string_view titulo) = 0;
};

class CFileDialog {
  public:
    CFileDialog(SelectorArchivos& selector, AvisoError& aviso)
        : selector_(selector), aviso_(aviso) {}

    // Accessors, read first, in the order of the object's interface.
    const std::u16string& DefaultExt() const { return DefaultExt_; }
    void DefaultExt(std::u16string strValue) { DefaultExt_ = std::move(strValue); }
    const std::u16string& DialogTitle() const { return DialogTitle_; }
    void DialogTitle(std::u16string strValue) { DialogTitle_ = std::move(strValue); }
    const std::u16string& Filename() const { return Filename_; }
    void Filename(std::u16string strValue) { Filename_ = std::move(strValue); }
    const std::u16string& FileTitle() const { return FileTitle_; }
    void FileTitle(std::u16string strValue) { FileTitle_ = std::move(strValue); }
    const std::u16string& Filter() const { return Filter_; }
    void Filter(std::u16string strValue) { Filter_ = std::move(strValue); }
    std::int16_t FilterIndex() const { return FilterIndex_; }
    void FilterIndex(std::int16_t intValue) { FilterIndex_ = intValue; }
    std::int32_t Flags() const { return Flags_; }
    void Flags(std::int32_t eValue) { Flags_ = eValue; }
    std::uintptr_t hWndParent() const { return hWndParent_; }
    void hWndParent(std::uintptr_t lngValue) { hWndParent_ = lngValue; }
    const std::u16string& InitialDir() const;
    void InitialDir(std::u16string strValue) { InitialDir_ = std::move(strValue); }
    std::int16_t MaxFileSize() const { return MaxFileSize_; }
    void MaxFileSize(std::int16_t intValue) { MaxFileSize_ = intValue; }

    // Whether several files may be chosen at once (no property: Show then adds the chooser's bits
    // for it to Flags and hands it a file buffer for many names). Off by default.
    bool Varios() const { return varios_; }
    void Varios(bool varios) { varios_ = varios; }

    // Shows the Open (fOpen) or Save dialog. True when the user confirmed a file: Filename and
    // FileTitle then hold the answer (with several chosen, Filename is the first full path and
    // FileTitle is empty). False when the dialog was cancelled or failed, or when an error was
    // raised (shown in the error box); Filename and FileTitle keep their values.
    bool Show(bool fOpen);

    // Every full path the last confirmed Show answered, in the chooser's order: Filename alone
    // when one file was chosen.
    const std::vector<std::u16string>& Filenames() const { return Filenames_; }

    // The record Show hands to the chooser, built from the properties; throws ErrorDialogo.
    RegistroLlamada registro() const;

    // The filter with every "|" turned into NUL, ended by two more NULs; throws ErrorDialogo.
    static std::u16string convertirFiltro(std::u16string_view filtro);

  private:
    static std::u16string StripNulls(std::u16string_view texto);

    SelectorArchivos& selector_;
    AvisoError& aviso_;

    // The ten properties in their declared order.
    std::u16string DefaultExt_;
    std::u16string DialogTitle_;
    std::u16string Filename_;
    std::u16string FileTitle_;
    std::optional<std::u16string> InitialDir_;  // never set: passed as none
    std::u16string Filter_;
    std::int16_t FilterIndex_ = 0;
    std::int32_t Flags_ = 0;
    std::int16_t MaxFileSize_ = 0;
    std::uintptr_t hWndParent_ = 0;

    bool varios_ = false;
    std::vector<std::u16string> Filenames_;
};

// The full paths of a chooser's answer when several files may be chosen: one path alone, or the
// folder and then each name (joined by the folder's own separator), each ended by NUL and the
// list by one more NUL; a buffer that ends before that second NUL ends the list. Empty when the
// answer holds no name.
std::vector<std::u16string> rutasElegidas(std::u16string_view respuesta);

// One description/pattern pair of a converted filter.
struct ParFiltro {
    std::u16string descripcion;
    std::u16string patron;
};

// The pairs of a converted filter, up to its closing double NUL. A description left without a
// pattern is dropped, as the chooser could not use it.
std::vector<ParFiltro> paresFiltro(std::u16string_view filtroConvertido);

// Shows the Open or Save dialog set up as the run asks; the chosen path when confirmed, and every
// chosen path when the run allows several (AjustesDialogo::varios).
RespuestaDialogo mostrarDialogo(SelectorArchivos& selector, AvisoError& aviso,
                                const AjustesDialogo& ajustes);

}  // namespace tralmix
