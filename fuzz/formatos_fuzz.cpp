// The contact and mail readers on any bytes: the first byte picks the reader, the rest are the
// file's text. Whatever the text, every address taken is one plain address, lower-cased and valid
// UTF-8, and reading the text in two pieces cut after a line end takes the same addresses.
//
// A first byte from 0xF0 on makes a long text of the rest: its first line once, then what follows
// repeated to 1 MiB. So the shapes that once took time growing with the square of their length,
// or memory many times theirs (an encoded word never closed in a header, a quoted-printable value
// continued by soft breaks, a line of empty fields), are read in every form the fuzzer finds;
// scripts/fuzz.sh gives this harness a tight -timeout and -malloc_limit_mb, which a reader that
// is not linear, or keeps what it has seen, fails at once.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "comun.h"
#include "extract/entrada.h"
#include "extract/formatos/formatos.h"

using namespace tralmix;
using namespace tralmix::formatos;

namespace {

constexpr Formato kFormatos[] = {Formato::Vcard, Formato::Csv, Formato::Ldif, Formato::Correo,
                                 Formato::Mbox};
constexpr std::uint8_t kRepetir = 0xF0;
constexpr std::size_t kLargo = std::size_t{1} << 20;

// The first line of t (its end included), then the rest of t repeated to about kLargo bytes.
std::string alargar(std::string_view t) {
    const std::size_t fin = t.find('\n');
    const std::size_t corte = fin == std::string_view::npos ? 0 : fin + 1;
    const std::string_view unidad = t.substr(corte);
    std::string largo(t.substr(0, corte));
    if (unidad.empty()) {
        return largo;
    }
    largo.reserve(kLargo + unidad.size());
    while (largo.size() < kLargo) {
        largo.append(unidad);
    }
    return largo;
}

std::vector<std::string> leer(Formato formato, std::initializer_list<std::string_view> piezas) {
    Arreglo salida;
    Direcciones direcciones(salida);
    auto lector = crearLector(formato, direcciones);
    for (const std::string_view pieza : piezas) {
        paraCadaLinea(pieza, [&](std::string_view l) { lector->linea(l); });
    }
    lector->fin();
    std::vector<std::string> v;
    for (std::size_t i = 0; i < salida.size(); ++i) {
        v.emplace_back(salida[i]);
    }
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    if (n == 0) {
        return 0;
    }
    const Formato formato = kFormatos[datos[0] % std::size(kFormatos)];
    const bool repetir = datos[0] >= kRepetir;
    std::string_view texto(reinterpret_cast<const char*>(datos + 1), n - 1);
    std::string largo;
    if (repetir) {
        largo = alargar(texto);
        texto = largo;
    }
    // What a file is by its first bytes, judged on any bytes: a binary one always with its
    // reason.
    const Eleccion eleccion = juzgarInicio(texto.substr(0, 8192), true);
    fuzz::exigir((eleccion.binario != Binario::No) != motivoBinario(eleccion.binario).empty(),
                 "a binary file has its reason");
    // The readers take text decoded to UTF-8, as the file's reader gives it.
    if (!fuzz::utf8Valido(texto)) {
        VigiaCodificacion vigia;
        vigia.mirar(texto);
        (void)vigia.ajena();
        return 0;
    }
    const std::vector<std::string> todas = leer(formato, {texto});
    for (const std::string& d : todas) {
        fuzz::exigir(esDireccion(d), "every address taken is one address");
        fuzz::exigir(fuzz::utf8Valido(d), "addresses are valid UTF-8");
        fuzz::exigir(std::none_of(d.begin(), d.end(), [](char c) { return c >= 'A' && c <= 'Z'; }),
                     "addresses are lower-cased");
    }
    if (repetir) {
        return 0;  // one reading is what these are for
    }
    // Cut after the middle's next line end: the reader sees the same lines.
    const std::size_t medio = texto.find_first_of("\r\n", texto.size() / 2);
    if (medio != std::string_view::npos) {
        std::size_t corte = medio + 1;
        if (texto[medio] == '\r' && corte < texto.size() && texto[corte] == '\n') {
            ++corte;
        }
        fuzz::exigir(leer(formato, {texto.substr(0, corte), texto.substr(corte)}) == todas,
                     "a text read in two pieces gives the same addresses");
    }
    return 0;
}
