// What a file is, told by its bytes: the code page of a contacts file read as Windows-1252,
// UTF-16 without its mark, the marks of binary files, and the text formats that need no
// extension to be known.

#include <array>

#include "extract/formatos/formatos.h"
#include "util/ascii.h"

namespace tralmix::formatos {
namespace {

struct Firma {
    std::string_view bytes;
    Binario binario;
};

using namespace std::string_view_literals;

// The first bytes of the binary files people are likely to pick by mistake.
constexpr std::array<Firma, 15> kFirmas{{
    {"PK\x03\x04"sv, Binario::Zip},
    {"PK\x05\x06"sv, Binario::Zip},  // an empty zip
    {"PK\x07\x08"sv, Binario::Zip},  // a zip written in one pass
    {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv, Binario::Ole},
    {"%PDF-"sv, Binario::Pdf},
    {"\x89PNG\r\n\x1A\n"sv, Binario::Imagen},
    {"\xFF\xD8\xFF"sv, Binario::Imagen},
    {"GIF87a"sv, Binario::Imagen},
    {"GIF89a"sv, Binario::Imagen},
    {"\x1F\x8B"sv, Binario::Comprimido},
    {"7z\xBC\xAF\x27\x1C"sv, Binario::Comprimido},
    {"Rar!\x1A\x07"sv, Binario::Comprimido},
    {"\xFD"
     "7zXZ\x00"sv,
     Binario::Comprimido},
    {"SQLite format 3\x00"sv, Binario::BaseDeDatos},
    {"\x7F"
     "ELF"sv,
     Binario::Programa},
}};

constexpr std::array<std::string_view, 19> kNombresDeFecha{
    "mon", "tue", "wed", "thu", "fri", "sat", "sun", "jan", "feb", "mar",
    "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};

bool digito(char c) {
    return c >= '0' && c <= '9';
}

// "7:05", "17:54:04".
bool esHora(std::string_view p) {
    std::size_t i = 0;
    while (i < p.size() && i < 2 && digito(p[i])) {
        ++i;
    }
    int grupos = 0;
    while (i > 0 && i + 3 <= p.size() && p[i] == ':' && digito(p[i + 1]) && digito(p[i + 2])) {
        i += 3;
        ++grupos;
    }
    return grupos >= 1 && grupos <= 2 && i == p.size();
}

bool esAnio(std::string_view p) {
    return p.size() == 4 && digito(p[0]) && digito(p[1]) && digito(p[2]) && digito(p[3]);
}

// Of a wide text (UTF-16 or UTF-32), the ASCII characters as bytes and anything else as "?":
// enough to tell its format.
std::string comoAscii(std::string_view bytes, std::size_t ancho, bool grande) {
    std::string salida;
    salida.reserve(bytes.size() / ancho);
    for (std::size_t i = 0; i + ancho <= bytes.size(); i += ancho) {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < ancho; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + (grande ? k : ancho - 1 - k)]);
            v = (v << 8) | b;
        }
        salida += v < 0x80 ? static_cast<char>(v) : '?';
    }
    return salida;
}

// The next line of t from i on, and i past its end.
std::string_view siguienteLinea(std::string_view t, std::size_t& i) {
    const std::size_t inicio = i;
    const std::size_t fin = std::min(t.find_first_of("\r\n", inicio), t.size());
    i = fin < t.size() && t[fin] == '\r' && fin + 1 < t.size() && t[fin + 1] == '\n' ? fin + 2
                                                                                     : fin + 1;
    return t.substr(inicio, fin - inicio);
}

// A mailbox begins with its first message's "From " line; a vCard with BEGIN:VCARD; an LDIF
// file, after its comments, with its version or its first entry's dn.
Formato formatoPorContenido(std::string_view t) {
    std::size_t i = 0;
    if (pareceSobre(siguienteLinea(t, i))) {
        return Formato::Mbox;
    }
    for (i = 0; i < t.size();) {
        const std::string_view l = texto::sinBlancos(siguienteLinea(t, i));
        if (l.empty() || l.front() == '#') {
            continue;
        }
        if (texto::igualesSinMayusculas(l, "BEGIN:VCARD")) {
            return Formato::Vcard;
        }
        if (texto::empiezaSinMayusculas(l, "version:") || texto::empiezaSinMayusculas(l, "dn:")) {
            return Formato::Ldif;
        }
        break;
    }
    return Formato::Ninguno;
}

}  // namespace

bool pareceSobre(std::string_view l) {
    if (!l.starts_with("From ")) {
        return false;
    }
    l.remove_prefix(5);
    l = texto::sinBlancos(l);
    const std::size_t fin = l.find_first_of(" \t");
    if (l.empty() || fin == std::string_view::npos) {
        return false;
    }
    l.remove_prefix(fin);
    bool nombre = false;
    bool hora = false;
    bool anio = false;
    while (!l.empty()) {
        const std::size_t inicio = l.find_first_not_of(" \t,");
        if (inicio == std::string_view::npos) {
            break;
        }
        l.remove_prefix(inicio);
        const std::size_t corte = std::min(l.find_first_of(" \t,"), l.size());
        const std::string_view p = l.substr(0, corte);
        l.remove_prefix(corte);
        for (const std::string_view n : kNombresDeFecha) {
            nombre = nombre || texto::igualesSinMayusculas(p, n);
        }
        hora = hora || esHora(p);
        anio = anio || esAnio(p);
    }
    return nombre && hora && anio;
}

texto::Marca utf16SinMarca(std::string_view inicio) {
    std::size_t pares = 0;
    std::size_t impares = 0;
    const std::size_t n = inicio.size() & ~std::size_t{1};
    for (std::size_t i = 0; i < n; ++i) {
        if (inicio[i] == '\0') {
            (i % 2 == 0 ? pares : impares)++;
        }
    }
    if (n >= 8 && impares * 8 <= pares && pares * 3 >= n) {
        return texto::Marca::Utf16BE;
    }
    if (n >= 8 && pares * 8 <= impares && impares * 3 >= n) {
        return texto::Marca::Utf16LE;
    }
    return texto::Marca::Ninguna;
}

Eleccion juzgarInicio(std::string_view inicio, bool porContenido) {
    Eleccion eleccion;
    const texto::Marca conMarca = texto::marcaDeOrden(inicio);
    texto::Marca marca = conMarca;
    if (marca == texto::Marca::Ninguna) {
        for (const Firma& f : kFirmas) {
            if (inicio.starts_with(f.bytes)) {
                eleccion.binario = f.binario;
                return eleccion;
            }
        }
        marca = utf16SinMarca(inicio);
    }
    std::string ancho;
    std::string_view vista = inicio.substr(texto::largoMarca(conMarca));
    if (marca == texto::Marca::Utf16LE || marca == texto::Marca::Utf16BE) {
        ancho = comoAscii(vista, 2, marca == texto::Marca::Utf16BE);
        vista = ancho;
    } else if (marca == texto::Marca::Utf32LE || marca == texto::Marca::Utf32BE) {
        ancho = comoAscii(vista, 4, marca == texto::Marca::Utf32BE);
        vista = ancho;
    }
    const Formato contenido = formatoPorContenido(vista);
    if (porContenido) {
        eleccion.formato = contenido;
    }
    // UTF-16 and UTF-32 hold NUL bytes and are text all the same, and a mailbox may hold a stray
    // one in a header; anything else with NULs is no text at all (a program's "MZ" among them).
    if (contenido == Formato::Ninguno && !texto::esAncha(marca) &&
        vista.find('\0') != std::string_view::npos) {
        eleccion.binario = vista.starts_with("MZ") ? Binario::Programa : Binario::Otro;
    }
    return eleccion;
}

std::u16string_view motivoBinario(Binario binario) {
    switch (binario) {
        case Binario::Zip:
            return u"es un archivo comprimido (zip), como las hojas de cálculo .xlsx y .ods o los "
                   u"documentos .docx; si es una hoja de cálculo, guárdela como CSV y abra ese "
                   u"archivo";
        case Binario::Ole:
            return u"es un documento de oficina de formato antiguo (como .xls o .doc); si es una "
                   u"hoja de cálculo, guárdela como CSV y abra ese archivo";
        case Binario::Pdf:
            return u"es un documento PDF; copie sus direcciones en un archivo de texto y abra ese "
                   u"archivo";
        case Binario::Imagen:
            return u"es una imagen; escriba sus direcciones en un archivo de texto y abra ese "
                   u"archivo";
        case Binario::Comprimido:
            return u"es un archivo comprimido; descomprímalo y abra el archivo de texto o de "
                   u"contactos que contiene";
        case Binario::BaseDeDatos:
            return u"es una base de datos; exporte los contactos desde el programa que la usa, "
                   u"como CSV o vCard, y abra ese archivo";
        case Binario::Programa:
            return u"es un programa, no un archivo de texto; elija el archivo que tiene las "
                   u"direcciones";
        case Binario::Otro:
            return u"no es un archivo de texto (tiene bytes nulos); elija un archivo de texto, de "
                   u"contactos (vCard, CSV, LDIF) o de correo (eml, mbox)";
        case Binario::No:
            break;
    }
    return {};
}

void VigiaCodificacion::mirar(std::string_view t) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        const auto c = static_cast<unsigned char>(t[i]);
        if (c < 0x80) {
            racha_ = 0;
            continue;
        }
        if (c < 0xC0) {
            continue;  // the rest of a character already counted
        }
        ++noAscii_;
        ++racha_;
        if (racha_ == 3) {
            enRachas_ += 3;
        } else if (racha_ > 3) {
            ++enRachas_;
        }
        // 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which 1252 leaves undefined, decode to U+0081 etc.
        if (c == 0xC2 && i + 1 < t.size()) {
            const auto d = static_cast<unsigned char>(t[i + 1]);
            indefinidos_ += d == 0x81 || d == 0x8D || d == 0x8F || d == 0x90 || d == 0x9D;
        }
    }
}

bool VigiaCodificacion::ajena() const {
    return indefinidos_ > 0 || (enRachas_ >= 6 && enRachas_ * 2 >= noAscii_);
}

}  // namespace tralmix::formatos
