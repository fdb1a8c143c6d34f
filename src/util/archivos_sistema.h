#pragma once

// The few system calls the file layer stands on. archivos.cpp holds the layer's logic once, over
// these; archivos_posix.cpp and archivos_win.cpp each give one system's form of them. Every
// failure comes back as a Fallo with the system's own code and its reason in Spanish.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "util/archivos.h"

namespace tralmix::archivos::sistema {

// An open file: a descriptor on POSIX, a HANDLE on Windows.
using Manejador = std::intptr_t;
inline constexpr Manejador kNinguno = -1;

// What the system tells of one file.
struct Info {
    Huella huella;              // its escrito in nanoseconds since 1970, on both systems
    bool normal = false;        // a regular file: no folder, link, FIFO, device or socket
    bool carpeta = false;       // a folder
    bool propio = false;        // this user's own (Windows does not ask: always true there)
    std::uint32_t nombres = 0;  // how many names (hard links) it has
};

// The system's error codes, each with its reason in Spanish (unused places hold 0).
struct Razon {
    std::u16string_view texto;
    int errores[5];
};
std::span<const Razon> razones();

// Failures the layer names itself: their codes come from the system (codigo), their reasons from
// razones() but for SinNombreLibre's own.
enum class Comun { NoAbierto, NoExiste, RutaNoValida, Grande, SinNombreLibre };
int codigo(Comun que);
Fallo fallo(Comun que);

// Where the file name starts in ruta (after the last separator the system knows).
std::size_t inicioNombre(std::u16string_view ruta);

// What a new file is for: the hidden file a list is written to, or a working file (readable by
// its owner only; others may read it on Windows, never write or remove it).
enum class Uso { Oculto, Privado };

// Opens ruta to read it, never blocking; only a regular file opens, anything else is refused
// with what it is. sinEnlace refuses a link at the path itself.
Fallo abrirLectura(std::u16string_view ruta, bool sinEnlace, Manejador& m, Info& info);
// Creates a new file at ruta, never through a link planted there, and held (retener) from the
// moment it bears that name; ocupado when the name is taken.
Fallo crear(std::u16string_view ruta, Uso uso, Manejador& m, bool& ocupado);
// Opens what is at ruta without following a link or blocking: to write it (a working file used
// again), or to remove it, shared then with no one where the system can say so.
Fallo abrirExistente(std::u16string_view ruta, bool paraQuitar, Manejador& m);
Fallo info(Manejador m, Info& info);
// What is at ruta: through a link, or (sinEnlace) the link itself.
Fallo info(std::u16string_view ruta, bool sinEnlace, Info& info);

Fallo leer(Manejador m, char* destino, std::size_t n, std::size_t& leidos);
Fallo escribir(Manejador m, std::string_view bytes);  // all of them
Fallo irA(Manejador m, std::uint64_t posicion);
// Empties the file and starts it again at its first byte, private again.
Fallo vaciar(Manejador m);
// The time of its last write, in nanoseconds since 1970 (a multiple of 100).
void ponerEscrito(Manejador m, std::int64_t escrito);
// Holds the file for this program alone: false when anyone else holds it, with any kind of lock.
// (On Windows the sharing a file was opened with holds it; this only looks for others' locks.)
bool retener(Manejador m);
Fallo volcar(Manejador m);  // to the disk
// The hidden file, become the list, loses its hidden look.
void mostrar(Manejador m);
// Replaces a by de, in one step (on Windows waiting a moment for a target in use).
Fallo renombrar(std::u16string_view de, std::u16string_view a);
// The file could not be opened because someone else has it open (never on POSIX, where opening
// does not ask).
bool enUso(const Fallo& f);
// Removes the file open as m, named ruta: only while ruta still names that file.
void quitar(Manejador m, std::u16string_view ruta);
Fallo cerrar(Manejador& m);

}  // namespace tralmix::archivos::sistema
