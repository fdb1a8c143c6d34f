#pragma once

// Everything the engine asks of the system's files: reading regular files in pieces, the working
// file created safely in a shared folder, the result written completely or not at all.
// archivos.cpp (reading) and archivos_escritura.cpp (writing) hold the logic, once, over the
// system calls of archivos_sistema.h; each platform gives those (and the conversion of paths) in
// archivos_posix.cpp or archivos_win.cpp.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "util/fallo.h"

namespace tralmix::archivos {

// Our paths are text; the system takes UTF-8 bytes (POSIX) or UTF-16 (Windows).
std::filesystem::path aRuta(std::u16string_view ruta);
std::u16string desdeRuta(const std::filesystem::path& ruta);

// The reason for a system error code (errno, or GetLastError() on Windows), in Spanish, for the
// user's messages.
std::u16string motivo(int error);

// A failure: the system's error code and the reason in Spanish. Empty when all went well. The
// engine's one failure type, which the run's steps carry on to the runner.
using Fallo = ::tralmix::Fallo;

// Largest file read. The working file's lines are loaded into one block with 32-bit places
// (kTamanoTrabajo); cleaning makes a line at most half again as long in UTF-8, UTF-16 or UTF-32
// (a one-character line's end becomes CR LF), and three times as long in Windows-1252 (a byte
// becomes up to three), so that encoding is held to a third of the block before anything is
// written.
inline constexpr std::uint64_t kTamanoMaximo = 0x7FFFFFFF;
inline constexpr std::uint64_t kTamanoTrabajo = 0xFFFFFFFE;
inline constexpr std::uint64_t kTamanoMaximo1252 = kTamanoTrabajo / 3;

// A path the system can be given: not empty, no NUL inside.
inline bool rutaUsable(std::u16string_view ruta) {
    return !ruta.empty() && ruta.find(u'\0') == std::u16string_view::npos;
}

// True when ruta names an existing file that is not a folder; every failure answers false.
bool esArchivo(std::u16string_view ruta);

// Identity of a file on disk, to tell whether two paths name the same file.
struct Identidad {
    std::uint64_t dispositivo = 0;
    std::uint64_t nodo = 0;
    bool valida = false;
    // The same file as otra (what valida says is not looked at).
    bool mismoArchivo(const Identidad& otra) const {
        return dispositivo == otra.dispositivo && nodo == otra.nodo;
    }
};
Identidad identidad(std::u16string_view ruta);

// What tells one state of a file from another: the file itself, its size, and when it was last
// written (in the system's own units).
struct Huella {
    Identidad identidad;
    std::uint64_t tamano = 0;
    std::int64_t escrito = 0;
    bool operator==(const Huella& otra) const {
        return identidad.mismoArchivo(otra.identidad) && tamano == otra.tamano &&
               escrito == otra.escrito;
    }
};

// The state of the file at ruta now (identity not valida when it cannot be looked at).
Huella huella(std::u16string_view ruta);

// Reads one regular file from its start, a piece at a time, so that a run never needs the whole
// file in memory.
class Lector {
  public:
    Lector() = default;
    ~Lector();
    Lector(const Lector&) = delete;
    Lector& operator=(const Lector&) = delete;

    // Folders, FIFOs and devices are refused without blocking on them, and so are files larger
    // than kTamanoMaximo. sinEnlace also refuses a link at the path itself (a file of our own
    // read back from a shared folder).
    Fallo abrir(std::u16string_view ruta, bool sinEnlace = false,
                std::uint64_t maximo = kTamanoMaximo);
    // The size when it was opened, and the file's state then.
    std::uint64_t tamano() const { return huella_.tamano; }
    const Huella& huella() const { return huella_; }
    // Up to n bytes from where the last read stopped; leidos is 0 at the end. A file that grows
    // past kTamanoMaximo while it is read fails as too large.
    Fallo leer(char* destino, std::size_t n, std::size_t& leidos);
    // Reading goes on from the byte posicion (0: the start, for a second reading).
    Fallo irA(std::uint64_t posicion);

  private:
    std::intptr_t manejador_ = -1;
    Huella huella_;
    std::uint64_t leidos_ = 0;
    std::uint64_t maximo_ = kTamanoMaximo;
};

// Reads a whole regular file, as Lector does in pieces.
Fallo leerTodo(std::u16string_view ruta, std::string& contenido);
// Reads the rest of an open file, from the reader's place to the end.
Fallo leerResto(Lector& lector, std::string& contenido);

// Whether nombre is the hidden file a writer makes beside a target named like nombreDestino:
// "." + that name (its digits any digits, so every day's list) + "." + eight letters or digits.
bool esOcultoDeEscritor(std::u16string_view nombre, std::u16string_view nombreDestino);

// Writes one file completely or not at all: the bytes go to a new hidden file beside the target,
// which replaces the target only in confirmar(). A writer destroyed unconfirmed removes its file.
// The hidden file is held while it is written and until it has its real name. Opening a writer
// removes the hidden files that runs ended by force left behind, and only those: a file this
// program made as a hidden list (the time of its last write carries the writer's mark), that no
// one holds with any kind of lock, that has one name, and that is not the file evitar (the input).
class EscritorAtomico {
  public:
    EscritorAtomico() = default;
    ~EscritorAtomico();
    EscritorAtomico(const EscritorAtomico&) = delete;
    EscritorAtomico& operator=(const EscritorAtomico&) = delete;

    Fallo abrir(std::u16string_view destino, const Identidad& evitar = {});
    Fallo escribir(std::string_view bytes);
    Fallo confirmar();
    // Gives up: the file beside the target goes, the target stays as it was.
    void descartar();

  private:
    std::intptr_t manejador_ = -1;
    std::u16string destino_;
    std::u16string temporal_;
    Fallo fallo_;
};

// The working file: created in a possibly shared folder without following a link or reparse
// point planted at its path, readable by its owner only, and kept after the run. Each write
// marks it (in the time of its last write) as a working copy of this program's, so that a later
// run may replace it; whatever else has its name (a user's file, the file evitar, a link, a
// folder, a copy someone changed since) is left alone, and the copy goes beside it as
// "name (2).ext", "name (3).ext"... Beside a copy another run holds it makes a file of its own,
// removed when closed. A file left incomplete (a failed write, a full disk, a run that ended
// early) is removed when the object goes.
class ArchivoTrabajo {
  public:
    ArchivoTrabajo() = default;
    ~ArchivoTrabajo();
    ArchivoTrabajo(const ArchivoTrabajo&) = delete;
    ArchivoTrabajo& operator=(const ArchivoTrabajo&) = delete;

    // Opens ruta for writing, or the first name beside it that is free or an earlier copy of
    // ours; called again with ruta() it starts the open file over, empty.
    Fallo crear(std::u16string_view ruta, const Identidad& evitar);
    Fallo escribir(std::string_view bytes);
    // Ends the writing; the file is no longer held.
    Fallo cerrar();

    // The path actually written.
    const std::u16string& ruta() const { return ruta_; }

  private:
    void quitarSiSobra();

    std::intptr_t manejador_ = -1;
    std::u16string ruta_;
    Fallo fallo_;
    bool transitorio_ = false;  // made beside a copy another run holds
};

}  // namespace tralmix::archivos
