#pragma once

#include "extract/estado.h"
#include "extract/puerto.h"

namespace tralmix {

// How a run ended, for callers that report it (the command's exit status).
enum class Desenlace {
    Escrito,       // the result list was written, announced and handed to the opener
    Cancelado,     // the dialog was cancelled: nothing shown, nothing written
    Rechazado,     // the run refused the input with its own message (bad name, empty file)
    FalloArchivo,  // a file could not be read or written; a message said which and why
};

// Fills estado.carpetaTemporal from the port at load time, ending it with "/".
void cargarCarpetaTemporal(Estado& estado, const Puerto& puerto);

// One processing run: the typed-path check, the Open dialog, the working file, the
// classification and the extraction path that writes, announces and opens the list.
Desenlace cmd_file01_Click(Estado& estado, Puerto& puerto);

}  // namespace tralmix
