// The contact and mail readers on any bytes: the first byte picks the reader, the rest are the
// file's text. Whatever the text, every address taken is one plain address, lower-cased and valid
// UTF-8, and reading the text in two pieces cut after a line end takes the same addresses.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "comun.h"
#include "extract/entrada.h"
#include "extract/formatos/formatos.h"

using namespace tralmix;
using namespace tralmix::formatos;

namespace {

constexpr Formato kFormatos[] = {Formato::Vcard, Formato::Csv, Formato::Ldif, Formato::Correo,
                                 Formato::Mbox};

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
    const std::string_view texto(reinterpret_cast<const char*>(datos + 1), n - 1);
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
