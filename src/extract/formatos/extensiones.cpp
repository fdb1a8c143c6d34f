// Which reader a file goes to: the one list of extensions, the Open dialog's entries made from
// it, and the files told by their content.

#include <array>

#include "extract/formatos/formatos.h"
#include "util/ascii.h"
#include "util/cadenas.h"

namespace tralmix::formatos {
namespace {

struct Extension {
    std::u16string_view texto;
    Formato formato;
};

constexpr std::array<Extension, 9> kExtensiones{{
    {u".txt", Formato::Texto},
    {u".ctt", Formato::Texto},
    {u".vcf", Formato::Vcard},
    {u".vcard", Formato::Vcard},
    {u".csv", Formato::Csv},
    {u".tsv", Formato::Csv},
    {u".ldif", Formato::Ldif},
    {u".eml", Formato::Correo},
    {u".mbox", Formato::Mbox},
}};

// Enough of a file to tell what it is: the marks of binary files are at its start, and a text
// holds its first line ends well within it.
constexpr std::size_t kInicio = 8192;

}  // namespace

Formato formatoDe(std::u16string_view ruta) {
    for (const Extension& e : kExtensiones) {
        if (texto::terminaSinMayusculas(ruta, e.texto)) {
            return e.formato;
        }
    }
    return Formato::Ninguno;
}

bool tieneLector(Formato formato) {
    return formato != Formato::Texto && formato != Formato::Ninguno;
}

std::u16string entradaFiltro() {
    std::u16string entrada = u"Contactos y correos (vCard, CSV, LDIF, eml, mbox) | ";
    bool primera = true;
    for (const Extension& e : kExtensiones) {
        if (e.formato != Formato::Texto) {
            entrada += primera ? u"*" : u";*";
            entrada += e.texto;
            primera = false;
        }
    }
    // Mailboxes without an extension ("Inbox"), and files whose extension is no type of ours.
    return entrada + u"|Todos los archivos | *";
}

bool sinExtension(std::u16string_view ruta) {
    const std::size_t inicio = ruta.find_last_of(kSeparador == u'/' ? u"/" : u"/\\");
    const std::u16string_view nombre =
        inicio == std::u16string_view::npos ? ruta : ruta.substr(inicio + 1);
    return nombre.find(u'.', 1) == std::u16string_view::npos;
}

Eleccion elegir(std::u16string_view ruta) {
    const Formato porNombre = formatoDe(ruta);
    const bool porContenido = porNombre == Formato::Ninguno && sinExtension(ruta);
    archivos::Lector lector;
    if (lector.abrir(ruta)) {
        return {porNombre, Binario::No};
    }
    std::string inicio(kInicio, '\0');
    std::size_t lleno = 0;
    while (lleno < inicio.size()) {
        std::size_t n = 0;
        if (lector.leer(inicio.data() + lleno, inicio.size() - lleno, n)) {
            return {porNombre, Binario::No};
        }
        if (n == 0) {
            break;
        }
        lleno += n;
    }
    inicio.resize(lleno);
    Eleccion eleccion = juzgarInicio(inicio, porContenido);
    if (!porContenido) {
        eleccion.formato = porNombre;
    }
    return eleccion;
}

std::unique_ptr<Lector> crearLector(Formato formato, Direcciones& direcciones) {
    switch (formato) {
        case Formato::Vcard:
            return crearLectorVcard(direcciones);
        case Formato::Csv:
            return crearLectorCsv(direcciones, ',');
        case Formato::Ldif:
            return crearLectorLdif(direcciones);
        case Formato::Correo:
            return crearLectorCorreo(direcciones, false);
        case Formato::Mbox:
            return crearLectorCorreo(direcciones, true);
        case Formato::Texto:
        case Formato::Ninguno:
            break;
    }
    return nullptr;
}

}  // namespace tralmix::formatos
