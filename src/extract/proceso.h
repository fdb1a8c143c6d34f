#pragma once

#include <string>
#include <string_view>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/puerto.h"

namespace tralmix {

// Fills estado.carpetaTemporal from the port at load time, ending it with a separator.
void cargarCarpetaTemporal(Estado& estado, const Puerto& puerto);

// Whether the path ends in ".txt" or ".ctt", in any case: the two kinds of file a run takes.
bool extensionAdmitida(std::u16string_view ruta);

// One processing run: the typed-path check, the Open dialog, the working file, the
// classification and the extraction path that writes, announces and opens the list.
Desenlace cmd_file01_Click(Estado& estado, Puerto& puerto);

// The rest of a run for a file chosen another way (dropped on the window, named on the command
// line): everything that follows the dialog's answer ruta.
Desenlace procesarArchivo(Estado& estado, Puerto& puerto, std::u16string ruta);

}  // namespace tralmix
