// The bulk path on arbitrary bytes, as the run feeds it: decoded, every line followed by CR LF,
// lower-cased, normalised, cut into addresses, repeats blanked, sorted.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unordered_set>

#include "comun.h"
#include "extract/cubo.h"
#include "extract/masivo.h"
#include "util/texto.h"

using namespace tralmix;

namespace {

constexpr std::u16string_view kNunca = u" ()<>\":,;\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::u16string decodificado =
        texto::decodificar(std::string_view(reinterpret_cast<const char*>(datos), n));
    std::u16string mensajes;
    for (const std::u16string_view linea : texto::lineasDeEntrada(decodificado)) {
        mensajes += linea;
        mensajes += u"\r\n";
    }
    texto::minusculasEnSitio(mensajes);
    const std::size_t antes = mensajes.size();
    normalizarMasivo(mensajes);
    fuzz::exigir(mensajes.size() <= antes, "normalising never lengthens the text");

    std::vector<std::u16string> lineas{u"stale"};
    extraerDirecciones(mensajes, lineas);
    if (!lineas.empty()) {
        fuzz::exigir(lineas[0].empty(), "position 0 stays empty");
    }
    for (std::size_t i = 1; i < lineas.size(); ++i) {
        const std::u16string& d = lineas[i];
        fuzz::exigir(fuzz::contiene(d, u"@"), "every address holds an @");
        fuzz::exigir(d.find_first_of(kNunca) == std::u16string::npos,
                     "no space, bracket, quote, colon, separator or line end in an address");
        fuzz::exigir(!fuzz::contiene(d, u"..") && !fuzz::contiene(d, u"--"),
                     "no run of dots or dashes in an address");
        fuzz::exigir(
            std::none_of(d.begin(), d.end(), [](char16_t c) { return c >= u'A' && c <= u'Z'; }),
            "addresses are lower case");
        fuzz::exigir(fuzz::contiene(mensajes, d), "an address is a piece of the text");
    }

    // The run's own path: words straight from the decoded UTF-8 text, in the same order.
    PalabrasUtf8 palabras;
    direccionesUtf8(texto::aUtf8(decodificado), palabras);
    fuzz::exigir(palabras.size() + (lineas.empty() ? 0 : 1) == lineas.size(),
                 "direccionesUtf8 finds as many words");
    std::vector<std::string_view> enUtf8;
    for (std::size_t i = 0; i < palabras.size() && i + 1 < lineas.size(); ++i) {
        fuzz::exigir(palabras[i] == texto::aUtf8(lineas[i + 1]),
                     "direccionesUtf8 finds the same words");
        enUtf8.push_back(palabras[i]);
    }
    ordenarComoUtf16(enUtf8);
    for (std::size_t i = 1; i < enUtf8.size(); ++i) {
        const std::u16string a = texto::desdeUtf8OReemplazo(enUtf8[i - 1]);
        const std::u16string b = texto::desdeUtf8OReemplazo(enUtf8[i]);
        fuzz::exigir(a <= b, "ordenarComoUtf16 sorts by UTF-16 code units");
        fuzz::exigir(menorComoUtf16(enUtf8[i - 1], enUtf8[i]) == (a < b),
                     "menorComoUtf16 compares as UTF-16");
    }

    const std::vector<std::u16string> extraidas = lineas;
    std::vector<std::u16string> copia{u"stale"};
    quitarRepetidos(lineas, copia);
    fuzz::exigir(copia == extraidas, "the copy is the list before the duplicate pass");
    fuzz::exigir(lineas.size() == extraidas.size(), "the duplicate pass keeps every position");
    std::unordered_set<std::u16string> vistas;
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        const bool primera = !extraidas[i].empty() && vistas.insert(extraidas[i]).second;
        fuzz::exigir(lineas[i] == (primera ? extraidas[i] : std::u16string()),
                     "the first place keeps an address, later repeats are blank");
    }

    std::vector<std::u16string> ordenadas = lineas;
    const bool ordeno = Cubo(ordenadas, true);
    fuzz::exigir(ordeno == !lineas.empty(), "Cubo answers false only for an empty array");
    fuzz::exigir(std::is_sorted(ordenadas.begin(), ordenadas.end()), "the list is sorted");
    std::sort(lineas.begin(), lineas.end());
    fuzz::exigir(ordenadas == lineas, "sorting keeps every element");
    return 0;
}
