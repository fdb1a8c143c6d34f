#include "ventana/diseno.h"

#include <string>

namespace tralmix::vista {

std::u16string consejoLogo() {
    std::u16string_view sitio(kSitioWeb);
    if (const auto esquema = sitio.find(u"://"); esquema != std::u16string_view::npos) {
        sitio.remove_prefix(esquema + 3);
    }
    sitio = sitio.substr(0, sitio.find_first_of(u"/:?#"));
    return u" " + std::u16string(sitio) + u" ";
}

}  // namespace tralmix::vista
