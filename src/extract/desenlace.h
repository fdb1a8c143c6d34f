#pragma once

// How a run ends and the phases it reports: the run and its stages include this, never the other
// way round. What a run says to the person is in extract/mensajes.h.

#include <cstdint>
#include <optional>

namespace tralmix {

// How a run ended, for callers that report it (the command's exit status).
enum class Desenlace {
    Escrito,       // the result list was written, announced and handed to the opener
    Cancelado,     // the dialog was cancelled: nothing shown, nothing written
    Rechazado,     // the run refused the input with its own message (bad name, empty, no address)
    FalloArchivo,  // a file could not be read or written; a message said which and why
    Interrumpido,  // the user stopped the run: no message, no list written, an earlier one intact
};

// The exit status that reports how a run ended, the same from the command and the browser.
inline constexpr int kSalidaEscrito = 0;
inline constexpr int kSalidaRechazado = 1;
inline constexpr int kSalidaFalloArchivo = 3;
inline constexpr int kSalidaInterrumpido = 130;  // as a shell reports a program ended by Ctrl-C
int codigoSalida(Desenlace desenlace);

// The long steps of a run, in the order they come, for a progress display.
enum class Fase {
    Limpieza,    // reading the input and writing the cleaned working file
    Carga,       // loading the working file
    Extraccion,  // reading the pasted messages again and taking their addresses
    Orden,       // sorting
    Escritura,   // writing the list
};

// The share of a phase done, in thousandths; none when the total is unknown.
std::optional<int> milesimas(std::uint64_t hecho, std::uint64_t total);

}  // namespace tralmix
