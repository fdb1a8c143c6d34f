#pragma once

// What only the command asks of the system: its terminal and Ctrl-C. plataforma_posix.cpp and
// plataforma_win.cpp answer it; everything else in the command is the same on every platform.

#include <cstdio>
#include <string>
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

// The name of standard input's copy (a .txt: read as a pasted text); the messages name it
// kEntradaEstandar (extract/mensajes.h).
inline constexpr std::u16string_view kNombreCopia = u"entrada.txt";

// Standard input ("-") copied into a file of the command's own, kNombreCopia in a new private
// folder of the temporary folder: the run reads its input twice and checks that it has not
// changed, which a pipe cannot give. The copy and its folder go with the object.
class CopiaEntrada {
  public:
    CopiaEntrada() = default;
    ~CopiaEntrada();
    CopiaEntrada(const CopiaEntrada&) = delete;
    CopiaEntrada& operator=(const CopiaEntrada&) = delete;

    // Copies until the end of standard input; false when that failed (fallo() says what, on
    // which file and why) or an interrupt came (interrumpido()), which stops it at once.
    bool copiar(std::u16string_view carpetaTemporal);
    const std::u16string& ruta() const { return ruta_; }
    const std::u16string& fallo() const { return fallo_; }

  private:
    std::u16string carpeta_;
    std::u16string ruta_;
    std::u16string fallo_;
};

}  // namespace tralmix::cli
