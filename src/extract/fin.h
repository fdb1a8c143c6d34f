#pragma once

// How a run ends, and the one place where a failure becomes what the person is told: the steps
// of a run hand their Fallo up, and the run's entries (cmd_file01_Click, procesarArchivo) and the
// runner (correr) tell it through concluir.

#include <utility>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/puerto.h"
#include "util/fallo.h"

namespace tralmix {

// How a run, or a step that can end it, ended: its outcome and, after a failure or a stop, the
// Fallo to tell.
struct Fin {
    Desenlace desenlace;
    Fallo fallo;

    // Implicit, so that a step returns either: an outcome as it is, or a failure (never an empty
    // one), where a stop ends as Interrumpido and anything else as FalloArchivo.
    Fin(Desenlace d) : desenlace(d) {}
    Fin(Fallo f)
        : desenlace(f.interrumpido() ? Desenlace::Interrumpido : Desenlace::FalloArchivo),
          fallo(std::move(f)) {}
};

// Inside a catch block: the failure the exception stands for. Running out of memory, an array
// past its limit and a text a converter cannot take have reasons of their own; anything else
// gives its own words.
Fallo falloDeExcepcion();

// The outcome, once a failure has been told: a box of style 16 with what failed (by default
// "No se pudo procesar el archivo:"), the file and "Motivo:" with the reason. A stop is told to
// nobody.
Desenlace informar(Puerto& puerto, const Fin& fin);

// Inside a catch block: the exception told as a failure to process the state's input. Its lines
// go first, so that a box can show when memory ran out. A box that fails too leaves the outcome
// FalloArchivo untold.
Desenlace informarExcepcion(Estado& estado, Puerto& puerto) noexcept;

// A whole run: paso, then its end told; whatever it throws, or the box throws, is a failure too.
template <typename Paso>
Desenlace concluir(Estado& estado, Puerto& puerto, Paso&& paso) noexcept {
    try {
        return informar(puerto, std::forward<Paso>(paso)());
    } catch (...) {
        return informarExcepcion(estado, puerto);
    }
}

}  // namespace tralmix
