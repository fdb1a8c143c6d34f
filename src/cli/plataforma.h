#pragma once

// What only the command asks of the system: its terminal and Ctrl-C. plataforma_posix.cpp and
// plataforma_win.cpp answer it; everything else in the command is the same on every platform.

#include <cstdio>
#include <string_view>

namespace tralmix::cli {

// Whether the stream is a terminal, where a progress line can be redrawn.
bool esTerminal(std::FILE* flujo);

// From now on the first interrupt (Ctrl-C; on POSIX also SIGTERM and SIGHUP) only sets a flag
// that interrumpido() reports, so the run can end cleanly and leave nothing; a second one ends
// the program at once. senalDeInterrupcion() is the signal's number (SIGINT for Ctrl-C), 0 when
// none came.
void atenderInterrupcion();
bool interrumpido();
int senalDeInterrupcion();

// Writes UTF-8 text to the stream as the terminal or file behind it expects; false when not all
// of it got there.
bool escribir(std::FILE* flujo, std::string_view utf8);

}  // namespace tralmix::cli
