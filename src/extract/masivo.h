#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/limpieza.h"
#include "extract/puerto.h"
#include "extract/trabajo.h"
#include "util/archivos.h"
#include "util/arreglo.h"
#include "util/paralelo.h"

namespace tralmix {

// The table that rewrites the lower-cased message text, in the order it is applied. Row 19
// ("add") is cut only where it ends a word, so that names like maddie@… keep their letters.
std::span<const FilaTabla> tablaMasivo();

// The words with an "@" that the message text made of these lines (each followed by CR LF),
// lower-cased, rewritten by the table and cut at spaces, gives: appended to lineas in order, one
// bracket stripped at each end, and only those then left without brackets. Before the first word
// lineas gets its empty position 0. No word crosses a line end, so the pieces of a text give,
// one after the other, the words of the whole.
void extraerDirecciones(std::string_view lineas, Arreglo& direcciones);

// On sorted addresses, where the repeats of one stand together: all but one of them become
// empty, and the empty elements go first, the others keeping their order. That is what blanking
// every later repeat and then sorting gives, without a table of what was seen.
void quitarRepetidos(Arreglo& ordenadas);

// Pasted messages read again from a line end on by a second core, while this one does something
// else (writes the working file, or reads the part before): it reads the file itself, as masivo
// does, and speaks to nobody.
class LecturaAnticipada {
  public:
    LecturaAnticipada() = default;
    ~LecturaAnticipada();
    LecturaAnticipada(const LecturaAnticipada&) = delete;
    LecturaAnticipada& operator=(const LecturaAnticipada&) = delete;

    // Starts with the line after the first LF from the byte desde on (a file with none there is
    // not read this way).
    void empezar(const std::u16string& ruta, std::uint64_t desde);
    bool empezada() const { return tarea_.empezado(); }
    // Where its part starts, and how much of it has been read.
    std::uint64_t corte() const { return corte_; }
    std::uint64_t leidos() const { return leidos_; }
    void parar() { parar_ = true; }
    // Waits for it; the words its part gave, position 0 included when there are any.
    archivos::Fallo esperar(Arreglo& palabras);

  private:
    std::atomic<bool> parar_{false};
    std::atomic<std::uint64_t> leidos_{0};
    std::uint64_t corte_ = 0;
    Arreglo palabras_;
    archivos::Fallo fallo_;
    EnSegundoPlano tarea_;  // last: gone first, so it waits before the rest goes
};

// The bulk path: reads the chosen file again, takes its addresses, blanks repeats, sorts and
// hands over to the result stage. primera is what the run's first reading found: a file changed
// since then is reported, never taken in its new state. anticipada, when started, has read the
// file from its cut on already.
Desenlace masivo(Estado& estado, Puerto& puerto, const Trabajo& primera,
                 LecturaAnticipada* anticipada = nullptr);

}  // namespace tralmix
