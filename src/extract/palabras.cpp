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
        // Words end at a space, or at a "," or ";", which their rows would have made one.
        const std::string_view vista(t);
        auto corta = [](char c) { return c == ' ' || c == ',' || c == ';'; };
        std::size_t i = 0;
        while (i < vista.size()) {
            while (i < vista.size() && corta(vista[i])) {
                ++i;
            }
            const std::size_t comienzo = i;
            bool conArroba = false;
            bool conParentesis = false;
            while (i < vista.size() && !corta(vista[i])) {
                conArroba = conArroba || vista[i] == '@';
                conParentesis = conParentesis || vista[i] == '(' || vista[i] == ')';
                ++i;
            }
            std::string_view palabra = vista.substr(comienzo, i - comienzo);
            if (conArroba && (!conParentesis || aceptar(palabra)) &&
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
