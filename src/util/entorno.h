#pragma once

// The system around the program, the same for every front end: the user's folders, the
// program's own folder, today's date, the program's arguments and the desktop's opener. Each
// platform answers it in its own file (entorno_posix.cpp, entorno_win.cpp).

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "util/avance.h"

namespace tralmix {

struct Fecha {
    int anio = 1970;
    unsigned mes = 1;
    unsigned dia = 1;
};

namespace entorno {

// The user's home (profile) folder, where the list goes unless told otherwise: the root of the
// system drive is closed to ordinary users.
std::u16string carpetaPersonal();
// The system's temporary folder: TMPDIR, else /tmp; on Windows what GetTempPath gives.
std::u16string carpetaTemporal();
// The folder of the program file.
std::u16string carpetaPrograma();
// Today's local date.
Fecha hoy();

// The arguments after the program's name, as UTF-8 (on Windows read again in UTF-16, so names in
// any script arrive whole).
std::vector<std::string> argumentos(int argc, char** argv);
// An argument's path made absolute against the current folder (unchanged when that fails).
std::u16string rutaAbsoluta(std::string_view utf8);

// How long the desktop's opener is given to fail before it is taken to be showing the file: on
// Linux xdg-open without a desktop session runs the viewer itself and returns only when it is
// closed. Tests give a shorter wait.
inline constexpr std::chrono::milliseconds kEsperaAbrir{1500};

// Hands a file or an address to the desktop's default handler without waiting for the viewer.
// Returns why the desktop could not open it, in Spanish, as the opener told it (no program for
// the file, the opener missing, ...); empty when it did.
std::u16string abrir(std::u16string_view destino, std::chrono::milliseconds espera = kEsperaAbrir);

// The progress settings, changed for tests only by two variables: TRALMIX_RETRASO_PROGRESO_MS,
// a whole number of milliseconds (0: a run shows its progress at once), and
// TRALMIX_RETENER_HASTA_PARAR=1. Anything else leaves the defaults.
AjustesAvance ajustesAvance();

}  // namespace entorno
}  // namespace tralmix
