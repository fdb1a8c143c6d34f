#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/fin.h"
#include "extract/lectura_anticipada.h"
#include "extract/puerto.h"
#include "extract/resultado.h"

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

// A run on the files rutas, chosen another way than the dialog: one path is procesarArchivo;
// several make one list of all their addresses (extract/fuentes.h). No path: Cancelado.
Desenlace procesarArchivos(Estado& estado, Puerto& puerto, std::vector<std::u16string> rutas);

// How reading a text input ended.
struct EntradaLeida {
    std::optional<Fin> fin;  // the run ends so (a failure not yet told)
    bool vacia = false;      // cleaning kept no line (a run on it alone says so)
    Camino camino = Camino::Lista;
};
// Reads the text input estado.archivoEntrada (a list, pasted messages, a contact list): cleaned
// into its working file, classified, and its entries left in estado.lineas by masivo or
// comolista, unsorted. Writes no list. archivo (the working file, left closed) and anticipada
// (the second core's reading of pasted messages) are the caller's, new, to keep as long as the
// run needs them.
EntradaLeida leerTexto(Estado& estado, Puerto& puerto, archivos::ArchivoTrabajo& archivo,
                       LecturaAnticipada& anticipada);

}  // namespace tralmix
