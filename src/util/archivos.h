#pragma once

// File-system helpers of the engine: whole-file reading of regular files, the atomic result
// writer, the working file created safely in a shared folder, and the desktop opener.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tralmix::archivos {

// Our paths are text; the file system takes UTF-8 bytes.
std::filesystem::path aRuta(std::u16string_view ruta);
std::u16string desdeRuta(const std::filesystem::path& ruta);

// The reason for an errno value, in Spanish, for the user's messages.
std::u16string motivo(int error);

// A failure: what was being done to which file, and why. Empty when all went well.
struct Fallo {
    int error = 0;  // errno, 0 when there was no failure
    std::u16string motivo;
    explicit operator bool() const { return error != 0; }
};

// Largest file leerTodo reads: the text conversions count in 32 bits.
inline constexpr std::uint64_t kTamanoMaximo = 0x7FFFFFFF;

// Reads the whole of a regular file. Folders, FIFOs and devices are refused without being read,
// so nothing can block or grow without end; so are files larger than kTamanoMaximo (EFBIG).
Fallo leerTodo(std::u16string_view ruta, std::string& contenido);

// Identity of a file on disk, to tell whether two paths name the same file.
struct Identidad {
    std::uint64_t dispositivo = 0;
    std::uint64_t nodo = 0;
    bool valida = false;
};
Identidad identidad(std::u16string_view ruta);

// Writes one file completely or not at all: the bytes go to a new file beside the target, which
// replaces the target only in confirmar(). A writer destroyed unconfirmed removes its file.
class EscritorAtomico {
  public:
    EscritorAtomico() = default;
    ~EscritorAtomico();
    EscritorAtomico(const EscritorAtomico&) = delete;
    EscritorAtomico& operator=(const EscritorAtomico&) = delete;

    Fallo abrir(std::u16string_view destino);
    Fallo escribir(std::string_view bytes);
    Fallo confirmar();

  private:
    void descartar();

    int fd_ = -1;
    std::filesystem::path destino_;
    std::filesystem::path temporal_;
    Fallo fallo_;
};

// A plain writer for the working file: created in a possibly shared folder without following a
// link planted at its path, readable by its owner only, never the file named by evitar.
class ArchivoTrabajo {
  public:
    ArchivoTrabajo() = default;
    ~ArchivoTrabajo();
    ArchivoTrabajo(const ArchivoTrabajo&) = delete;
    ArchivoTrabajo& operator=(const ArchivoTrabajo&) = delete;

    // Opens ruta for writing, replacing an earlier working file of ours; when ruta cannot be
    // used safely (a link, someone else's file, the file evitar), a unique name beside it.
    Fallo crear(std::u16string_view ruta, const Identidad& evitar);
    Fallo escribir(std::string_view bytes);
    Fallo cerrar();

    // The path actually written.
    const std::u16string& ruta() const { return ruta_; }

  private:
    int fd_ = -1;
    std::u16string ruta_;
    Fallo fallo_;
};

// Asks the desktop to open a file or address with its default handler; does not wait.
void abrirConEscritorio(std::u16string_view destino);

}  // namespace tralmix::archivos
