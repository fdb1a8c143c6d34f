#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/fin.h"
#include "extract/mensajes.h"
#include "extract/puerto.h"
#include "util/archivos.h"
#include "util/entorno.h"

namespace tralmix {

// The list's name, "Mails_YYYYMMDD.txt" (the year always in four digits or more), and its path in
// the given folder.
std::u16string nombreLista(const Fecha& fecha);
std::u16string rutaResultado(std::u16string_view carpeta, const Fecha& fecha);
// The list a run writes: in the state's folder, named after its date or, without one, today's
// (read at the time: a window may stay open past midnight).
std::u16string rutaResultado(const Estado& estado);

// Receives the list's bytes a piece at a time, with the number of elements laid out so far;
// false stops the layout.
using DestinoLista = std::function<bool(std::string_view trozo, std::size_t hechos)>;

// Lays the elements out in groups of porGrupo: the first address trimmed, an empty line, the
// others as stored joined by separador, two empty lines; every line ended by CR LF. Elements blank
// after trimming are passed over. False when destino stopped it.
bool componerLista(const Arreglo& lineas, const DestinoLista& destino,
                   std::size_t porGrupo = kPorGrupo, std::string_view separador = kSeparadorLista);

// The result stage shared by both extraction paths. preparar() builds the path from today's date
// and creates the (not yet visible) file; terminar() writes the sorted list, and only when all of
// it reached the disk announces it, opens it (saying so when that fails) and empties the path box.
// A list without any address is not written: an earlier list of the day stays, and the user is
// told. A failure, or a stop, comes back for the runner to tell.
class EtapaResultado {
  public:
    Fallo preparar(const Estado& estado);
    Fin terminar(const Estado& estado, Puerto& puerto, std::u16string_view cierre);

    const std::u16string& ruta() const { return ruta_; }

  private:
    std::u16string ruta_;
    archivos::EscritorAtomico escritor_;
};

// Which extraction path filled lineas: the bulk one keeps each address once, and each path has
// its own closing line.
enum class Camino { Masivo, Lista };

// The back half of both paths: creates the list file (so a list that cannot be written costs no
// sort), sorts lineas with Cubo, blanks repeats on the bulk path, and writes, announces and opens
// the list. A failure, or a stop, comes back for the runner to tell.
Fin ordenarYTerminar(Estado& estado, Puerto& puerto, Camino camino);
// The same with its failure told at once (informar), for a reader that tells its own.
Desenlace ordenarYEscribir(Estado& estado, Puerto& puerto, Camino camino);

}  // namespace tralmix
