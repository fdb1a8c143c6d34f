#pragma once

#include <string>
#include <string_view>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/puerto.h"

namespace tralmix {

// Sets the folder of the working file, cut at a NUL and ended by a separator.
void cargarCarpetaTemporal(Estado& estado, std::u16string carpeta);
// Fills the state's folders from the system around the program (util/entorno.h), at load time.
void cargarEntorno(Estado& estado);

// Whether a window takes the file: its path ends, in any case, in an extension a run takes
// (".txt", ".ctt", and the contacts and mail files of formatos::formatoDe), or it has no
// extension and its content is a mailbox, a vCard or an LDIF file, or it is binary (which the run
// refuses with the reason).
bool archivoAdmitido(std::u16string_view ruta);

// One processing run: the typed-path check, the Open dialog, the working file, the
// classification and the extraction path that writes, announces and opens the list.
Desenlace cmd_file01_Click(Estado& estado, Puerto& puerto);

// The rest of a run for a file chosen another way (dropped on the window, named on the command
// line): everything that follows the dialog's answer ruta.
Desenlace procesarArchivo(Estado& estado, Puerto& puerto, std::u16string ruta);

}  // namespace tralmix
