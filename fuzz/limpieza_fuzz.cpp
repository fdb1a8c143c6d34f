// limpieza: no character the table deletes or blanks survives, nothing else is invented, and a
// second pass changes nothing.

#include <cstddef>
#include <cstdint>

#include "comun.h"
#include "extract/limpieza.h"
#include "util/texto.h"

using namespace tralmix;

namespace {

constexpr std::u16string_view kBorrados = u"!\"#$";
constexpr std::u16string_view kEnBlanco = u"%&'*+/:=<>?[\\]^{|}~";

bool esDeLaTabla(char16_t c) {
    return kBorrados.find(c) != std::u16string_view::npos ||
           kEnBlanco.find(c) != std::u16string_view::npos;
}

// Without tags (every one begins with "<"), cleaning is a plain character map.
std::u16string mapaSimple(std::u16string_view t) {
    std::u16string r;
    for (const char16_t c : t) {
        if (kBorrados.find(c) != std::u16string_view::npos) {
            continue;
        }
        r.push_back(kEnBlanco.find(c) != std::u16string_view::npos ? u' ' : c);
    }
    return r;
}

// True when a, spaces left out, is a subsequence of b, spaces left out.
bool subsecuenciaSinEspacios(std::u16string_view a, std::u16string_view b) {
    std::size_t j = 0;
    for (const char16_t c : a) {
        if (c == u' ') {
            continue;
        }
        while (j < b.size() && b[j] != c) {
            ++j;
        }
        if (j == b.size()) {
            return false;
        }
        ++j;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::u16string entrada = fuzz::textoDeBytes(datos, n);
    const std::u16string limpia = limpieza(entrada);

    for (const char16_t c : limpia) {
        fuzz::exigir(!esDeLaTabla(c), "no table character survives");
    }
    fuzz::exigir(limpia.size() <= entrada.size(), "cleaning never lengthens a line");
    fuzz::exigir(subsecuenciaSinEspacios(limpia, entrada), "cleaning only deletes and blanks");
    if (!fuzz::contiene(entrada, u"<")) {
        fuzz::exigir(limpia == mapaSimple(entrada), "without tags, a plain character map");
    }
    fuzz::exigir(limpieza(limpia) == limpia, "a second cleaning changes nothing");

    // The UTF-8 form on the same line as the run would hold it (unpaired surrogates cannot come
    // out of a decoded file, so the line goes through UTF-8 first).
    const std::string utf8 = texto::aUtf8(entrada);
    std::string salida = "prefix";
    agregarLimpiezaUtf8(salida, utf8);
    fuzz::exigir(salida == "prefix" + texto::aUtf8(limpieza(texto::desdeUtf8OReemplazo(utf8))),
                 "agregarLimpiezaUtf8 equals limpieza");
    return 0;
}
