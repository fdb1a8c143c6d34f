#include "extract/comolista.h"

#include "extract/cubo.h"
#include "extract/resultado.h"
#include "util/cadenas.h"
#include "util/texto.h"

namespace tralmix {
namespace {

bool contiene(std::u16string_view t, std::u16string_view s) {
    return t.find(s) != std::u16string_view::npos;
}

}  // namespace

void filtrarLista(std::vector<std::u16string>& lineas) {
    for (std::u16string& elemento : lineas) {
        std::u16string_view t = texto::recortar(elemento);
        if (t.empty()) {
            continue;
        }
        // ".html" holds ".htm", so one test tells whether the element is shortened (and stored
        // trimmed); the two removals keep their order.
        if (contiene(t, u".htm")) {
            std::u16string corto(t);
            if (contiene(corto, u".html")) {
                corto = reemplazar(corto, u".html", u"");
            }
            if (contiene(corto, u".htm")) {
                corto = reemplazar(corto, u".htm", u"");
            }
            elemento = std::move(corto);
            t = elemento;
        }
        if (contiene(t, u"(") || contiene(t, u")") || contiene(t, u"..") || !contiene(t, u"@")) {
            elemento.clear();
        }
    }
}

Desenlace comolista(Estado& estado, Puerto& puerto) {
    // The file is created before the filter, so a list that cannot be written costs no work.
    EtapaResultado etapa;
    if (!etapa.preparar(puerto)) {
        return Desenlace::FalloArchivo;
    }
    filtrarLista(estado.lineas);
    Cubo(estado.lineas, true);
    return etapa.terminar(estado, puerto, kCierreLista);
}

}  // namespace tralmix
