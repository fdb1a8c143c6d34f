#include "extract/limpieza.h"

#include <array>
#include <utility>

#include "util/cadenas.h"

namespace tralmix {
namespace {

struct Par {
    std::u16string_view buscado;
    std::u16string_view reemplazo;
};

// Order matters: whole tags first, so that an exact tag leaves no trace before its punctuation
// is blanked.
constexpr std::array<Par, 33> kTabla{{
    {u"<?xml version=\"1.0\"?>", u""},
    {u"<messenger>", u""},
    {u"<service name=\".NET Messenger Service\">", u""},
    {u"<contactlist>", u""},
    {u"<contact type=\"1\">", u""},
    {u"<contact type=\"32\">", u""},
    {u"</contactlist>", u""},
    {u"</contact>", u""},
    {u"</service>", u""},
    {u"</messenger>", u""},
    {u"!", u""},
    {u"\"", u""},
    {u"#", u""},
    {u"$", u""},
    {u"%", u" "},
    {u"&", u" "},
    {u"'", u" "},
    {u"*", u" "},
    {u"+", u" "},
    {u"/", u" "},
    {u":", u" "},
    {u"=", u" "},
    {u"<", u" "},
    {u">", u" "},
    {u"?", u" "},
    {u"[", u" "},
    {u"\\", u" "},
    {u"]", u" "},
    {u"^", u" "},
    {u"{", u" "},
    {u"|", u" "},
    {u"}", u" "},
    {u"~", u" "},
}};

}  // namespace

std::u16string limpieza(std::u16string qLimpiar) {
    std::u16string texto = std::move(qLimpiar);
    for (const Par& par : kTabla) {
        // Every replacement is no longer than what it replaces, so the table works in place.
        reemplazarEnSitio(texto, par.buscado, par.reemplazo);
    }
    return texto;
}

}  // namespace tralmix
