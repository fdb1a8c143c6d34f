#pragma once

// What the command asks of the system around it. plataforma_posix.cpp and plataforma_win.cpp
// answer it; everything else in the command is the same on every platform.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "extract/puerto.h"

namespace tralmix::cli {

// The arguments after the program's name, as UTF-8.
std::vector<std::string> argumentos(int argc, char** argv);

// An argument's path made absolute against the current folder (unchanged when that fails).
std::u16string rutaAbsoluta(std::string_view utf8);

// The user's home folder, where the list goes when no folder is given.
std::u16string carpetaPersonal();
// The system's temporary folder (TMPDIR, else /tmp).
std::u16string carpetaTemporalSistema();
// The folder of the program file.
std::u16string carpetaDelPrograma();

// Today's local date.
Fecha fechaLocal();

// Whether the stream is a terminal, where a progress line can be redrawn.
bool esTerminal(std::FILE* flujo);

// From now on the first interrupt (Ctrl-C) only sets a flag that interrumpido() reports, so the
// run can end cleanly; a second one ends the program at once.
void atenderInterrupcion();
bool interrumpido();

// Writes UTF-8 text to the stream as the terminal or file behind it expects.
void escribir(std::FILE* flujo, std::string_view utf8);

}  // namespace tralmix::cli
