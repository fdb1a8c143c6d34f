#include "extract/comolista.h"

#include <deque>

#include "extract/cubo.h"
#include "extract/resultado.h"
#include "util/cadenas.h"
#include "util/memoria.h"
#include "util/paralelo.h"
#include "util/texto.h"

namespace tralmix {
namespace {

bool contiene(std::u16string_view t, std::u16string_view s) {
    return t.find(s) != std::u16string_view::npos;
}

bool contiene(std::string_view t, std::string_view s) {
    return t.find(s) != std::string_view::npos;
}

std::string_view recortarUtf8(std::string_view t) {
    const auto primero = t.find_first_not_of(' ');
    if (primero == std::string_view::npos) {
        return {};
    }
    return t.substr(primero, t.find_last_not_of(' ') - primero + 1);
}

// filtrarLista on one UTF-8 element: the element as it stays, a shortened copy made in corto, or
// the empty text.
std::string_view filtrarUtf8(std::string_view elemento, std::string& corto) {
    std::string_view t = recortarUtf8(elemento);
    if (t.empty()) {
        return elemento;
    }
    // One look at every byte answers all the questions of the common case.
    bool arroba = false;
    bool otro = false;  // "(", ")", ".." or ".htm": blanked, or shortened first
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        arroba = arroba || c == '@';
        otro = otro || c == '(' || c == ')' ||
               (c == '.' && i + 1 < t.size() && (t[i + 1] == '.' || t[i + 1] == 'h'));
    }
    if (!otro) {
        return arroba ? elemento : std::string_view{};
    }
    if (contiene(t, ".htm")) {
        corto.assign(t);
        reemplazarEnSitio(corto, ".html", "");
        reemplazarEnSitio(corto, ".htm", "");
        elemento = corto;
        t = corto;
    }
    if (contiene(t, "(") || contiene(t, ")") || contiene(t, "..") || !contiene(t, "@")) {
        return {};
    }
    return elemento;
}

// How far ahead the sorted elements are fetched, and the size of the pieces they are copied to.
constexpr std::size_t kAdelanto = 16;
constexpr std::size_t kTamanoPieza = 1 << 20;

void convertir(std::string_view utf8, std::u16string& salida) {
    if (!texto::desdeUtf8(utf8, salida)) {
        salida = texto::desdeUtf8OReemplazo(utf8);
    }
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

namespace {

// Calls cada on every piece of the texts that ends in fin (without it), in order; the texts hold
// whole pieces.
template <typename Cada>
void cadaTerminado(const std::vector<std::string>& textos, std::string_view fin, Cada&& cada) {
    for (const std::string& texto : textos) {
        const std::string_view vista(texto);
        std::size_t inicio = 0;
        for (std::size_t hallado = vista.find(fin); hallado != std::string_view::npos;
             hallado = vista.find(fin, inicio)) {
            cada(vista.substr(inicio, hallado - inicio));
            inicio = hallado + fin.size();
        }
    }
}

}  // namespace

Desenlace comolistaDesdeTrabajo(Estado& estado, Puerto& puerto, TrabajoUtf8 trabajo) {
    const std::size_t total = trabajo.lineas + 1;
    estado.lineas.clear();
    auto recorrer = [&](auto&& cada) {
        cadaTerminado(trabajo.trozos, "\r\n", cada);
        cada(std::string_view{});  // the text after the last CR LF
    };
    EtapaResultado etapa;
    if (!etapa.preparar(puerto)) {
        estado.lineas.reserve(total);  // as comolista leaves it: loaded, not yet filtered
        recorrer([&](std::string_view e) { convertir(e, estado.lineas.emplace_back()); });
        return Desenlace::FalloArchivo;
    }

    // Only the elements left non-empty need sorting: the empty ones come first in any case.
    std::deque<std::string> cortos;
    std::string corto;
    std::vector<std::string_view> llenos;
    llenos.reserve(total);
    recorrer([&](std::string_view e) {
        std::string_view f = filtrarUtf8(e, corto);
        if (f.data() == corto.data() && !f.empty()) {
            f = cortos.emplace_back(f);
        }
        if (!f.empty()) {
            llenos.push_back(f);
        }
    });
    ordenarComoUtf16(llenos);

    // The sorted elements are copied back to back, each followed by an LF (no line holds one),
    // so the working text can go before the list is made; the list is then made from the copy
    // piece by piece, in order, each piece given back once done. The working text, the copy and
    // the list are never all held at once.
    std::vector<std::string> piezas;
    std::vector<std::size_t> primeros;  // index in lineas of each piece's first element
    {
        std::string pieza;
        for (std::size_t i = 0; i < llenos.size(); ++i) {
            if (i + kAdelanto < llenos.size()) {
                anticipar(llenos[i + kAdelanto].data());
            }
            if (pieza.size() >= kTamanoPieza) {
                piezas.push_back(std::move(pieza));
                pieza = std::string();
            }
            if (pieza.empty()) {
                primeros.push_back(total - llenos.size() + i);
            }
            if (pieza.capacity() == 0) {
                pieza.reserve(kTamanoPieza + 4096);
            }
            pieza += llenos[i];
            pieza += '\n';
        }
        if (!pieza.empty()) {
            piezas.push_back(std::move(pieza));
        }
    }
    const std::size_t cuantos = llenos.size();
    std::vector<std::string_view>().swap(llenos);
    TrabajoUtf8().trozos.swap(trabajo.trozos);
    cortos.clear();

    auto recorrerPiezas = [&](auto&& cada) { cadaTerminado(piezas, "\n", cada); };
    {
        std::vector<std::string_view> ordenados;
        ordenados.reserve(cuantos);
        recorrerPiezas([&](std::string_view e) { ordenados.push_back(e); });
        etapa.escribir(ordenados);
    }
    // Both halves of the pieces at once, each into its own places of lineas.
    estado.lineas.resize(total);
    auto convertirPiezas = [&](std::size_t desde, std::size_t hasta) {
        for (std::size_t p = desde; p < hasta; ++p) {
            const std::string_view vista(piezas[p]);
            std::size_t k = primeros[p];
            std::size_t inicio = 0;
            for (std::size_t fin = vista.find('\n'); fin != std::string_view::npos;
                 fin = vista.find('\n', inicio)) {
                convertir(vista.substr(inicio, fin - inicio), estado.lineas[k++]);
                inicio = fin + 1;
            }
            std::string().swap(piezas[p]);
        }
    };
    const std::size_t mitad = piezas.size() / 2;
    aLaVez([&] { convertirPiezas(0, mitad); }, [&] { convertirPiezas(mitad, piezas.size()); });
    return etapa.anunciar(puerto, kCierreLista);
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
