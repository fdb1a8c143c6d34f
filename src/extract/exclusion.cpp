#include "extract/exclusion.h"

#include "util/texto.h"

namespace tralmix {
namespace {

// Bytes that never stand unquoted in an address: a word of an entry ends at them.
bool corta(unsigned char c) {
    if (c <= 0x20 || c == 0x7F) {
        return true;
    }
    switch (c) {
        case '"':
        case '(':
        case ')':
        case ',':
        case ':':
        case ';':
        case '<':
        case '>':
        case '[':
        case ']':
        case '\\':
            return true;
        default:
            return false;
    }
}

// What people put around an address in running text and lists: a full stop after it, quotes,
// rules, a "#" or "*" in front. Taken off both sides, so "*@dominio" is the domain and
// "ana@x.com." the address.
bool deExtremo(char c) {
    return std::string_view(".'!#$%&*+/=?^`{|}~-").find(c) != std::string_view::npos;
}

std::string_view sinExtremos(std::string_view p) {
    while (!p.empty() && deExtremo(p.front())) {
        p.remove_prefix(1);
    }
    while (!p.empty() && deExtremo(p.back())) {
        p.remove_suffix(1);
    }
    return p;
}

bool enMinusculas(std::string_view p) {
    for (const char c : p) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || (u >= 'A' && u <= 'Z')) {
            return false;
        }
    }
    return true;
}

// The word lower-cased and without its ends; minusculas holds it when it had to be changed.
std::string_view normal(std::string_view palabra, std::string& minusculas) {
    if (enMinusculas(palabra)) {
        return sinExtremos(palabra);
    }
    minusculas.clear();
    texto::agregarMinusculasUtf8(minusculas, palabra);
    return sinExtremos(minusculas);
}

// Calls cadaUna with every word of texto that holds an "@".
template <typename CadaUna>
void palabrasConArroba(std::string_view texto, CadaUna&& cadaUna) {
    const std::size_t n = texto.size();
    std::size_t i = 0;
    while (i < n) {
        while (i < n && corta(static_cast<unsigned char>(texto[i]))) {
            ++i;
        }
        std::size_t j = i;
        bool arroba = false;
        while (j < n && !corta(static_cast<unsigned char>(texto[j]))) {
            arroba = arroba || texto[j] == '@';
            ++j;
        }
        if (arroba) {
            cadaUna(texto.substr(i, j - i));
        }
        i = j;
    }
}

}  // namespace

std::size_t Exclusion::agregar(std::string_view entrada) {
    std::size_t nuevas = 0;
    std::string minusculas;
    palabrasConArroba(entrada, [&](std::string_view palabra) {
        const std::string_view p = normal(palabra, minusculas);
        const std::size_t arroba = p.rfind('@');
        if (arroba == std::string_view::npos || arroba + 1 == p.size()) {
            return;  // nothing after the "@": names no one
        }
        if (arroba == 0) {
            nuevas += dominios_.emplace(p.substr(1)).second ? 1U : 0U;
        } else {
            nuevas += direcciones_.emplace(p).second ? 1U : 0U;
        }
    });
    return nuevas;
}

void Exclusion::unir(Exclusion&& otra) {
    if (vacia()) {
        direcciones_ = std::move(otra.direcciones_);
        dominios_ = std::move(otra.dominios_);
    } else {
        direcciones_.merge(otra.direcciones_);
        dominios_.merge(otra.dominios_);
    }
    otra.direcciones_.clear();
    otra.dominios_.clear();
}

bool Exclusion::excluida(std::string_view palabra, std::string& minusculas) const {
    const std::string_view p = normal(palabra, minusculas);
    const std::size_t arroba = p.rfind('@');
    if (arroba == std::string_view::npos || arroba + 1 == p.size()) {
        return false;
    }
    return (!direcciones_.empty() && direcciones_.contains(p)) ||
           (!dominios_.empty() && dominios_.contains(p.substr(arroba + 1)));
}

bool Exclusion::excluye(std::string_view entrada) const {
    if (vacia()) {
        return false;
    }
    std::string minusculas;
    bool si = false;
    palabrasConArroba(entrada,
                      [&](std::string_view palabra) { si = si || excluida(palabra, minusculas); });
    return si;
}

std::uint64_t Exclusion::aplicar(Arreglo& lineas) const {
    if (vacia()) {
        return 0;
    }
    std::uint64_t excluidas = 0;
    const auto lugares = lineas.lugares();
    for (std::size_t i = 0; i < lugares.size(); ++i) {
        if (lugares[i] != 0 && excluye(lineas.textoEn(lugares[i]))) {
            lineas.vaciar(i);
            ++excluidas;
        }
    }
    return excluidas;
}

}  // namespace tralmix
