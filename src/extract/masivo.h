#pragma once

#include "extract/estado.h"
#include "extract/lectura_anticipada.h"
#include "extract/puerto.h"
#include "extract/trabajo.h"

namespace tralmix {

// The bulk path's extraction: reads the chosen file again and leaves in estado.lineas every
// address word in the order found (position 0 empty).
// primera is what the run's first reading found: a file changed since then is reported, never
// taken in its new state. anticipada, when started, has read the file from its cut on already.
// Empty when the run goes on to the sort and the list; otherwise the failure or the stop.
Fallo masivo(Estado& estado, Puerto& puerto, const Trabajo& primera,
             LecturaAnticipada* anticipada = nullptr);

}  // namespace tralmix
