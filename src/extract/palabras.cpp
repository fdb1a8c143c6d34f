#include "extract/palabras.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "extract/normalizador.h"
#include "util/memoria.h"
#include "util/texto.h"

namespace tralmix {
namespace {

// The acceptance test: one bracket off each end, then no bracket left.
bool aceptar(std::string_view& palabra) {
    if (palabra.front() == '(') {
        palabra.remove_prefix(1);
    }
    if (!palabra.empty() && palabra.back() == ')') {
        palabra.remove_suffix(1);
    }
    return std::none_of(palabra.begin(), palabra.end(),
                        [](char c) { return c == '(' || c == ')'; });
}

}  // namespace

void extraerDirecciones(std::string_view texto, Arreglo& direcciones) {
    // Only lines with an "@" can give a word: neither lower-casing nor any row makes one.
    const std::size_t n = texto.size();
    std::string t;
    std::size_t inicio = 0;  // where the line being looked at begins
    while (inicio < n) {
        const void* arroba = std::memchr(texto.data() + inicio, '@', n - inicio);
        if (arroba == nullptr) {
            break;
        }
        const auto a = static_cast<std::size_t>(static_cast<const char*>(arroba) - texto.data());
        // The line that holds it: back to the last line end before it, on to the next.
        const std::size_t atras = ultimoDe<'\r', '\n'>(texto.data() + inicio, a - inicio);
        if (atras < a - inicio) {
            inicio += atras + 1;
        }
        const std::size_t fin = a + primeroDe<'\r', '\n'>(texto.data() + a, n - a);
        t.clear();
        texto::agregarMinusculasUtf8(t, texto.substr(inicio, fin - inicio));
        t += ' ';  // the line's CR LF, as its row leaves it
        normalizarLinea(t);
        // A word with an invisible character could show as another address: the line is looked
        // at once, and its words one by one only when it may hold one.
        const bool invisibles = texto::puedeTenerInvisible(t);
        // Words end at a space, or at a "," or ";", which their rows would have made one. Only
        // a word with an "@" can be taken: each is found from its first "@", back and on to the
        // bytes that end it.
        const std::string_view vista(t);
        std::size_t i = 0;  // where the last word ended
        for (;;) {
            const std::size_t donde = i + primeroDe<'@'>(vista.data() + i, vista.size() - i);
            if (donde >= vista.size()) {
                break;
            }
            const std::size_t antes = ultimoDe<' ', ',', ';'>(vista.data() + i, donde - i);
            const std::size_t comienzo = antes < donde - i ? i + antes + 1 : i;
            i = donde + primeroDe<' ', ',', ';'>(vista.data() + donde, vista.size() - donde);
            std::string_view palabra = vista.substr(comienzo, i - comienzo);
            const bool conParentesis =
                primeroDe<'(', ')'>(palabra.data(), palabra.size()) < palabra.size();
            if ((!conParentesis || aceptar(palabra)) &&
                !(invisibles && texto::tieneInvisible(palabra))) {
                if (direcciones.empty()) {
                    direcciones.agregarVacio();  // position 0 stays empty
                }
                direcciones.agregar(palabra);
            }
        }
        inicio = fin;
    }
}

}  // namespace tralmix
