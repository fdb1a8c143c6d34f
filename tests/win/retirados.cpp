// Two helpers the engine's tests still call while they leave the text module's interface; the
// Windows build never had them. Here only for those tests, in the plainest form.

#include "util/texto.h"

namespace tralmix::texto {

void minusculasEnSitio(std::u16string& texto) {
    texto = minusculas(texto);
}

std::vector<std::u16string_view> lineasDeEntrada(std::u16string_view texto) {
    std::vector<std::u16string_view> lineas;
    std::size_t inicio = 0;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == u'\r' || texto[i] == u'\n') {
            lineas.push_back(texto.substr(inicio, i - inicio));
            if (texto[i] == u'\r' && i + 1 < texto.size() && texto[i + 1] == u'\n') {
                ++i;
            }
            inicio = i + 1;
        }
    }
    if (inicio < texto.size()) {
        lineas.push_back(texto.substr(inicio));
    }
    return lineas;
}

}  // namespace tralmix::texto
