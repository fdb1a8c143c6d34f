#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "extract/entrada.h"
#include "extract/palabras.h"
#include "util/archivos.h"
#include "util/arreglo.h"
#include "util/paralelo.h"

namespace tralmix {

// The addresses of one part of the file, a piece at a time; seguir is asked after each piece.
template <typename Seguir>
archivos::Fallo leerParte(LectorTexto& entrada, Arreglo& direcciones, Seguir&& seguir) {
    return leerPiezas(
        entrada,
        [&](std::string_view pieza) {
            extraerDirecciones(pieza, direcciones);
            return seguir();
        },
        [&] {
            direcciones.clear();
            return true;
        });
}

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

}  // namespace tralmix
