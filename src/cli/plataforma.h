#pragma once

// What only the command asks of the system: its terminal and Ctrl-C. plataforma_posix.cpp and
// plataforma_win.cpp answer it; everything else in the command is the same on every platform.

#include <cstdio>
#include <string_view>

namespace tralmix::cli {

// Whether the stream is a terminal, where a progress line can be redrawn.
bool esTerminal(std::FILE* flujo);

// From now on the first interrupt (Ctrl-C) only sets a flag that interrumpido() reports, so the
// run can end cleanly; a second one ends the program at once.
void atenderInterrupcion();
bool interrumpido();

// Writes UTF-8 text to the stream as the terminal or file behind it expects.
void escribir(std::FILE* flujo, std::string_view utf8);

}  // namespace tralmix::cli
