// The list path's filter against a reference written from its rules, one element at a time.

#include <cstddef>
#include <cstdint>

#include "comun.h"
#include "extract/comolista.h"
#include "util/texto.h"

using namespace tralmix;

namespace {

std::u16string quitarTodas(std::u16string t, std::u16string_view s) {
    std::u16string r;
    std::size_t desde = 0;
    for (std::size_t p = t.find(s); p != std::u16string::npos; p = t.find(s, desde)) {
        r.append(t, desde, p - desde);
        desde = p + s.size();
    }
    r.append(t, desde);
    return r;
}

std::u16string referencia(const std::u16string& elemento) {
    const std::u16string_view recortado = texto::recortar(elemento);
    if (recortado.empty()) {
        return elemento;
    }
    std::u16string t(recortado);
    const bool acortado = fuzz::contiene(t, u".htm");
    t = quitarTodas(quitarTodas(t, u".html"), u".htm");
    if (fuzz::contiene(t, u"(") || fuzz::contiene(t, u")") || fuzz::contiene(t, u"..") ||
        !fuzz::contiene(t, u"@")) {
        return {};
    }
    return acortado ? t : elemento;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::u16string texto = fuzz::textoDeBytes(datos, n);
    std::vector<std::u16string> lineas;
    std::size_t desde = 0;
    for (std::size_t p = texto.find(u'\n'); p != std::u16string::npos;
         p = texto.find(u'\n', desde)) {
        lineas.emplace_back(texto, desde, p - desde);
        desde = p + 1;
    }
    lineas.emplace_back(texto, desde);

    std::vector<std::u16string> filtradas = lineas;
    filtrarLista(filtradas);
    fuzz::exigir(filtradas.size() == lineas.size(), "no element is added or removed");
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        fuzz::exigir(filtradas[i] == referencia(lineas[i]), "filter equals the reference");
        const std::u16string_view t = texto::recortar(filtradas[i]);
        if (!t.empty()) {
            fuzz::exigir(fuzz::contiene(t, u"@") && !fuzz::contiene(t, u"..") &&
                             t.find_first_of(u"()") == std::u16string_view::npos,
                         "a kept element looks like an address");
        }
    }
    return 0;
}
