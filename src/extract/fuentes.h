#pragma once

// Runs on several inputs, with exclusion lists or with a report. A run on one input without any
// of these goes exactly as it always did; estado.recuento stays empty then.
//
// Front ends call procesarArchivos (extract/proceso.h) with the chosen paths, or
// cmd_file01_Click, whose dialog may answer several (RespuestaDialogo::rutas); they set
// Estado::exclusiones, pedirInforme and rutaInforme before a run, and receive the report through
// Puerto::informe, showing resumen() of it.

#include <optional>
#include <string>
#include <vector>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/exclusion.h"
#include "extract/formatos/formatos.h"
#include "extract/puerto.h"
#include "extract/resultado.h"

namespace tralmix {

// Whether ruta is the list this run would write (by the file's identity, under any name); if so
// the user has been told ("El archivo especificado es la lista que se va a crear...").
bool esLaLista(const Estado& estado, Puerto& puerto, std::u16string_view ruta);

// The start of every run, once its inputs are known: leaves estado.recuento empty for a run on
// one input without exclusion lists or a report asked for; otherwise begins the report, refuses a
// report path that names the list or a file the run reads, and reads the exclusion lists. Empty
// when the run goes on; otherwise how it ended (told to the user).
std::optional<Desenlace> empezarRecuento(Estado& estado, Puerto& puerto,
                                         const std::vector<std::u16string>& entradas, bool varias);

// What one exclusion file gave.
struct LecturaExclusion {
    archivos::Fallo fallo;
    bool interrumpido = false;  // avance asked to stop
    bool ajena = false;         // a contacts file in a code page other than UTF-8/16 or 1252
    // A sheet, a document, a program…: what it seems to be (formatos::motivoBinario), not read.
    formatos::Binario binario = formatos::Binario::No;
    bool mensajes = false;        // a text file with "," or ";" in a line: pasted messages
    archivos::Huella huella;      // the file as it was opened
    std::uint64_t nombradas = 0;  // addresses and domains it names
};
// Reads an exclusion file into excluir. Contacts and mail files are read by their readers; any
// other file as text, where every word with an "@" of every line is taken, and every address the
// pasted-messages path would take from it, so that a list, a message or a contact list all
// serve.
LecturaExclusion leerExclusion(std::u16string_view ruta, Exclusion& excluir,
                               Avance* avance = nullptr);

// A run on two or more inputs (names already known): each is read by its own path into a working
// file of its own as a run on it would, without a list of its own; then all their addresses,
// lower-cased, each once, minus the exclusion lists, are sorted and written as one list closed by
// the pasted-messages line. A refused or unreadable input ends the whole run with its message and
// no list; an input without any address is only named in the report.
Desenlace procesarVarios(Estado& estado, Puerto& puerto, const std::vector<std::u16string>& rutas);

}  // namespace tralmix
