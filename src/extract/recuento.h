#pragma once

// The counted half of a run: what a run that makes a report does once its inputs are read (the
// clean-up, the exclusion lists, the counts, the warnings, the report beside the list), and the
// small steps the several-input run shares with it.

#include <cstdint>
#include <string>
#include <string_view>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/informe.h"
#include "extract/puerto.h"
#include "extract/resultado.h"
#include "util/arreglo.h"
#include "util/fallo.h"

namespace tralmix {

// The elements the list would write: those not blank once trimmed.
std::uint64_t contarDirecciones(Arreglo& lineas);
// The elements that are not the empty one (the paths other than the list's give only words).
std::uint64_t contarNoVacios(Arreglo& lineas);

// A file as the report names it: standard input's copy for what it holds.
std::u16string enInforme(const Estado& estado, const std::u16string& ruta);

void informarFallo(Puerto& puerto, std::u16string_view accion, std::u16string_view ruta,
                   std::u16string_view motivo, Estilo estilo = Estilo::Critico);

// The clean-up of one input's entries in estado.lineas, counted in the report; an entry of the
// list path that the cleaning may have broken is reduced from the input's line as read.
// entradas: how many entries the input gave, counted before it.
Fallo depurarEntrada(Estado& estado, Puerto& puerto, Informe& informe, bool deLista,
                     std::uint64_t& entradas);

// The back half of a run that makes a report (ordenarYEscribir hands over to it): creates the
// list and report files, sorts, removes repeats on the bulk path, leaves out what the exclusion
// lists name, counts, writes and announces the list, writes the report and hands it to the port.
// When nothing is left: no list, the user told why, the report still made.
Desenlace escribirConRecuento(Estado& estado, Puerto& puerto, Camino camino);

}  // namespace tralmix
