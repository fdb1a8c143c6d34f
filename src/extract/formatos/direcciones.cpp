// The one-address check every reader's values go through.

#include "extract/formatos/formatos.h"
#include "util/ascii.h"
#include "util/texto.h"

namespace tralmix::formatos {
namespace {

bool partePunteada(std::string_view p) {
    return !p.empty() && p.front() != '.' && p.back() != '.' &&
           p.find("..") == std::string_view::npos;
}

}  // namespace

bool esDireccion(std::string_view v) {
    v = texto::sinBlancos(v);
    if (v.size() > 254) {
        return false;
    }
    const std::size_t arroba = v.find('@');
    if (arroba == std::string_view::npos || v.find('@', arroba + 1) != std::string_view::npos) {
        return false;
    }
    for (const char c : v) {
        if (texto::fueraDeDireccion(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    const std::string_view local = v.substr(0, arroba);
    const std::string_view dominio = v.substr(arroba + 1);
    // A domain without a dot stays: address books keep such addresses (x@invalid, local ones).
    return local.size() <= 64 && partePunteada(local) && partePunteada(dominio) &&
           dominio.front() != '-';
}

void Direcciones::ofrecer(std::string_view valor) {
    valor = texto::sinBlancos(valor);
    // As on the text's paths, an address with an invisible control is left out: it can show as
    // another address.
    if (!esDireccion(valor) || !texto::esUtf8(valor) || texto::tieneInvisible(valor)) {
        return;
    }
    minusculas_.clear();
    texto::agregarMinusculasUtf8(minusculas_, valor);
    destino_.agregar(minusculas_);
}

}  // namespace tralmix::formatos
