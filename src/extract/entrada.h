#pragma once

// Reading the chosen file: its text as UTF-8, a piece of whole lines at a time, so that a run
// never holds the whole file.

#include <cstdint>
#include <string>
#include <string_view>

#include "util/archivos.h"
#include "util/memoria.h"

namespace tralmix {

class LectorTexto {
  public:
    enum class Paso {
        Pieza,    // the next whole lines of the text
        Fin,      // the text is over
        DeNuevo,  // a late byte showed that the file is not UTF-8: what the pieces gave so far is
                  // void, and they start again from the beginning of the text, decoded anew
    };

    // The encoding is decided for the whole file: a UTF-16 byte-order mark means UTF-16;
    // otherwise strictly valid UTF-8 (a leading byte-order mark dropped); otherwise
    // Windows-1252.
    archivos::Fallo abrir(std::u16string_view ruta);
    // Right after abrir: only the bytes from desde (just after a line end) to hasta of a file
    // known to be UTF-8 without a byte-order mark, one part of the text, for reading a file in
    // parts at once. A byte that is not UTF-8 there fails, as a file changed since it was known.
    archivos::Fallo acotar(std::uint64_t desde, std::uint64_t hasta);

    // The next piece: whole lines (each ended by CR, LF or CR LF; the last of the text perhaps by
    // nothing). It stays valid until the next call.
    archivos::Fallo siguiente(Paso& paso, std::string_view& pieza);

    // The file's size (of the part), and how much of it the pieces given so far stand for.
    std::uint64_t tamano() const { return hasta_ - desde_; }
    const archivos::Huella& huella() const { return lector_.huella(); }
    // Whether the file was read as it is, strictly valid UTF-8 without a UTF-16 mark (as far as
    // the pieces have gone).
    bool utf8() const { return !entero_; }
    std::uint64_t leidos() const;

  private:
    archivos::Fallo leerHastaLlenar();
    // ancho: the file has a UTF-16 or UTF-32 mark; otherwise it is Windows-1252.
    archivos::Fallo decodificarEntero(bool ancho);
    std::size_t corteEntreLineas() const;

    archivos::Lector lector_;
    std::string bufer_;
    std::size_t lleno_ = 0;  // bytes of bufer_ read and not yet given
    std::size_t dado_ = 0;   // bytes at the start of bufer_ given in the last piece
    std::uint64_t consumidos_ = 0;
    bool finArchivo_ = false;
    bool primera_ = true;
    std::uint64_t desde_ = 0;
    std::uint64_t hasta_ = 0;
    std::uint64_t posicion_ = 0;  // where the next read starts in the file
    bool parte_ = false;
    // Set once the file has been decoded as a whole.
    bool entero_ = false;
    std::string texto_;
    std::size_t enTexto_ = 0;
};

// Reads the text's pieces in turn, the one loop of every reader of the chosen file: alPieza(pieza)
// with each; alDeNuevo() when a late byte has shown that the file is not UTF-8, so that the
// pieces start again and what they gave so far is void. Either returns false to stop there. The
// reading's own failure, if any.
template <typename AlPieza, typename AlDeNuevo>
archivos::Fallo leerPiezas(LectorTexto& entrada, AlPieza&& alPieza, AlDeNuevo&& alDeNuevo) {
    for (;;) {
        LectorTexto::Paso paso = LectorTexto::Paso::Fin;
        std::string_view pieza;
        if (auto fallo = entrada.siguiente(paso, pieza)) {
            return fallo;
        }
        if (paso == LectorTexto::Paso::Fin ||
            !(paso == LectorTexto::Paso::DeNuevo ? alDeNuevo() : alPieza(pieza))) {
            return {};
        }
    }
}

// Calls cadaLinea with each line of a piece, without its line end.
template <typename CadaLinea>
void paraCadaLinea(std::string_view pieza, CadaLinea&& cadaLinea) {
    const std::size_t n = pieza.size();
    std::size_t inicio = 0;
    while (inicio < n) {
        const std::size_t fin = inicio + primeroDe<'\r', '\n'>(pieza.data() + inicio, n - inicio);
        cadaLinea(pieza.substr(inicio, fin - inicio));
        inicio = fin < n && pieza[fin] == '\r' && fin + 1 < n && pieza[fin + 1] == '\n' ? fin + 2
                                                                                        : fin + 1;
    }
}

}  // namespace tralmix
