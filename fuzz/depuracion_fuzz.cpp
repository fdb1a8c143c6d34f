// The clean-up and the warnings on any bytes: every address kept passes the one-address check,
// is lower-cased and comes back unchanged; the verdict matches the addresses; the shortcut that
// judges an entry as it stands agrees with it; the same entry repeated many times gives the
// same addresses as many times (and within the timeout that scripts/fuzz.sh gives this
// harness, which a quadratic scan would not meet).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "comun.h"
#include "extract/avisos.h"
#include "extract/depuracion.h"
#include "util/ascii.h"
#include "util/texto.h"

using namespace tralmix;

namespace {

// About 64 KiB of the entry, repeated with a blank between: a scan that goes back over the text
// for each byte runs past the timeout there. Only for one input in eight (by its first byte),
// since the coverage tracing makes even the linear scan cost milliseconds.
constexpr std::size_t kRepetido = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::string entrada(reinterpret_cast<const char*>(datos), n);
    Depurador depurador;
    Depurador otro;
    const Depuracion d = depurador.depurar(entrada);
    const auto direcciones = depurador.direcciones();
    fuzz::exigir((d == Depuracion::Descartada) == direcciones.empty(),
                 "an entry is dropped exactly when it holds no address");
    fuzz::exigir(
        d != Depuracion::SinCambios || (direcciones.size() == 1 && direcciones[0] == entrada),
        "an unchanged entry is its one address");
    std::vector<std::string> copias;
    std::vector<Aviso> avisos;
    for (const std::string_view a : direcciones) {
        copias.emplace_back(a);
        fuzz::exigir(esEnviable(a), "every address kept can be sent to");
        fuzz::exigir(fuzz::utf8Valido(a), "every address kept is valid UTF-8");
        std::string bajas;
        texto::agregarMinusculasUtf8(bajas, a);
        fuzz::exigir(bajas == a, "every address kept is lower-cased");
        fuzz::exigir(otro.depurar(a) == Depuracion::SinCambios, "an address kept stays as it is");
        if (texto::prefijoAscii(entrada) == entrada.size()) {
            std::string entradaBaja;
            texto::agregarMinusculasUtf8(entradaBaja, entrada);
            fuzz::exigir(entradaBaja.find(a) != std::string::npos,
                         "an ASCII address kept is in the lower-cased entry");
        }
        avisos.clear();
        avisar(a, avisos);
        for (const Aviso& aviso : avisos) {
            fuzz::exigir(aviso.direccion == a, "a warning names its address");
            fuzz::exigir((aviso.motivo == Motivo::Rol) == aviso.sugerencia.empty(),
                         "only a domain warning suggests, and always");
        }
    }
    // Warnings take any text, an entry as it stood included; the list's Avisador, from what it
    // judged or from what it kept, warns alike.
    avisos.clear();
    avisar(entrada, avisos);
    Avisador avisador;
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        std::vector<Aviso> suyos;
        avisador.avisar(entrada, suyos);
        fuzz::exigir(suyos == avisos, "the Avisador warns as avisar does");
    }
    // The counted run's shortcut agrees with the clean-up: an entry is kept as it stands, case
    // aside, exactly when the clean-up gives it back as its one address.
    const std::string_view recortada = texto::recortar(entrada);
    Depurador tercero;
    bool comoEsta = false;
    if (texto::esUtf8(recortada) && tercero.depurar(recortada) != Depuracion::Descartada &&
        tercero.direcciones().size() == 1) {
        std::string baja;
        texto::agregarMinusculasUtf8(baja, recortada);
        comoEsta = tercero.direcciones()[0] == baja;
    }
    fuzz::exigir(Depurador().talCual(entrada) == comoEsta,
                 "an entry is one address as it stands when the clean-up keeps it so");

    if (n == 0 || n > 4096 || datos[0] % 8 != 0) {
        return 0;
    }
    std::string repetida;
    std::size_t veces = 0;
    while (repetida.size() < kRepetido) {
        repetida += entrada;
        repetida += ' ';
        ++veces;
    }
    depurador.depurar(repetida);
    const auto todas = depurador.direcciones();
    // A blank ends every word, so each copy gives the entry's own addresses.
    fuzz::exigir(todas.size() == veces * copias.size(),
                 "a repeated entry gives its addresses each time");
    for (std::size_t i = 0; i < todas.size(); ++i) {
        fuzz::exigir(todas[i] == copias[i % copias.size()],
                     "a repeated entry gives its addresses in order");
    }
    return 0;
}
