#include "extract/formatos/formatos.h"

#include <array>

#include "extract/entrada.h"
#include "extract/resultado.h"
#include "util/texto.h"

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

bool igualSinMayusculas(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x =
            a[i] >= u'A' && a[i] <= u'Z' ? static_cast<char16_t>(a[i] - u'A' + u'a') : a[i];
        if (x != b[i]) {
            return false;
        }
    }
    return true;
}

// Bytes that never stand unquoted in an address.
bool prohibido(unsigned char c) {
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

bool partePunteada(std::string_view p) {
    return !p.empty() && p.front() != '.' && p.back() != '.' &&
           p.find("..") == std::string_view::npos;
}

int valorBase64(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+' || c == '-') {
        return 62;
    }
    if (c == '/' || c == '_') {
        return 63;
    }
    return -1;
}

int valorHex(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// A UTF-16 file without a byte-order mark (some phones write vCards so): most of the first bytes
// are NUL, all on one side of each pair.
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

void alLector(Lector& lector, std::string_view pieza) {
    paraCadaLinea(pieza, [&](std::string_view l) { lector.linea(l); });
}

}  // namespace

Formato formatoDe(std::u16string_view ruta) {
    for (const Extension& e : kExtensiones) {
        if (ruta.size() >= e.texto.size() &&
            igualSinMayusculas(ruta.substr(ruta.size() - e.texto.size()), e.texto)) {
            return e.formato;
        }
    }
    return Formato::Ninguno;
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
    return entrada;
}

bool esDireccion(std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) {
        v.remove_prefix(1);
    }
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) {
        v.remove_suffix(1);
    }
    if (v.size() > 254) {
        return false;
    }
    const std::size_t arroba = v.find('@');
    if (arroba == std::string_view::npos || v.find('@', arroba + 1) != std::string_view::npos) {
        return false;
    }
    for (const char c : v) {
        if (prohibido(static_cast<unsigned char>(c))) {
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
    while (!valor.empty() && (valor.front() == ' ' || valor.front() == '\t')) {
        valor.remove_prefix(1);
    }
    while (!valor.empty() && (valor.back() == ' ' || valor.back() == '\t')) {
        valor.remove_suffix(1);
    }
    // As on the text's paths, an address with an invisible control is left out: it can show as
    // another address.
    if (!esDireccion(valor) || !texto::esUtf8(valor) || texto::tieneInvisible(valor)) {
        return;
    }
    minusculas_.clear();
    texto::agregarMinusculasUtf8(minusculas_, valor);
    destino_.agregar(minusculas_);
}

std::string desdeBase64(std::string_view t) {
    std::string salida;
    salida.reserve(t.size() / 4 * 3);
    std::uint32_t acumulado = 0;
    int bits = 0;
    for (const char c : t) {
        const int v = valorBase64(c);
        if (v < 0) {
            continue;  // padding, line breaks, spaces
        }
        acumulado = (acumulado << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            salida += static_cast<char>((acumulado >> bits) & 0xFF);
        }
    }
    return salida;
}

std::string desdeQuotedPrintable(std::string_view t) {
    std::string salida;
    salida.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '=') {
            salida += t[i];
            continue;
        }
        if (i + 2 < t.size()) {
            const int alto = valorHex(t[i + 1]);
            const int bajo = valorHex(t[i + 2]);
            if (alto >= 0 && bajo >= 0) {
                salida += static_cast<char>(alto * 16 + bajo);
                i += 2;
                continue;
            }
        }
        // A soft break left at the very end, or a stray "=": nothing of the value.
    }
    return salida;
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

namespace {

std::unique_ptr<Lector> lectorPara(std::u16string_view ruta, Formato formato,
                                   Direcciones& direcciones) {
    // A .tsv is tab-separated unless its first line says otherwise.
    if (formato == Formato::Csv && formatoDe(ruta) == Formato::Csv && ruta.size() >= 4 &&
        igualSinMayusculas(ruta.substr(ruta.size() - 4), u".tsv")) {
        return crearLectorCsv(direcciones, '\t');
    }
    return crearLector(formato, direcciones);
}

// Mail headers hold ASCII addresses whatever the bodies are written in; only contact files are
// judged by their code page.
bool juzgarCodificacion(Formato formato) {
    return formato == Formato::Vcard || formato == Formato::Csv || formato == Formato::Ldif;
}

}  // namespace

Lectura leerDirecciones(std::u16string_view ruta, Formato formato, Arreglo& direcciones,
                        Avance* avance) {
    Lectura lectura;
    Direcciones destino(direcciones);
    std::unique_ptr<Lector> lector = lectorPara(ruta, formato, destino);
    if (!lector) {
        return lectura;
    }
    {
        // A look at the first bytes for UTF-16 without its mark, which is read whole: such files
        // are small contact exports.
        archivos::Lector crudo;
        if (auto fallo = crudo.abrir(ruta)) {
            lectura.fallo = fallo;
            return lectura;
        }
        lectura.huella = crudo.huella();
        std::string inicio(512, '\0');
        std::size_t n = 0;
        if (auto fallo = crudo.leer(inicio.data(), inicio.size(), n)) {
            lectura.fallo = fallo;
            return lectura;
        }
        inicio.resize(n);
        if (texto::marcaDeOrden(inicio) == texto::Marca::Ninguna) {
            if (const texto::Marca marca = utf16SinMarca(inicio); marca != texto::Marca::Ninguna) {
                std::string bytes = marca == texto::Marca::Utf16BE ? "\xFE\xFF" : "\xFF\xFE";
                inicio.clear();
                if (auto fallo = crudo.irA(0)) {
                    lectura.fallo = fallo;
                    return lectura;
                }
                if (auto fallo = archivos::leerResto(crudo, inicio)) {
                    lectura.fallo = fallo;
                    return lectura;
                }
                bytes += inicio;
                alLector(*lector, texto::decodificarUtf8(std::move(bytes)));
                lector->fin();
                return lectura;
            }
        }
    }
    LectorTexto entrada;
    if (auto fallo = entrada.abrir(ruta)) {
        lectura.fallo = fallo;
        return lectura;
    }
    // A file changed between the two openings is read as it now is, and told by its huella.
    lectura.huella = entrada.huella();
    VigiaCodificacion vigia;
    bool legado = false;
    for (;;) {
        LectorTexto::Paso paso = LectorTexto::Paso::Fin;
        std::string_view pieza;
        if (auto fallo = entrada.siguiente(paso, pieza)) {
            lectura.fallo = fallo;
            return lectura;
        }
        if (paso == LectorTexto::Paso::Fin) {
            break;
        }
        if (paso == LectorTexto::Paso::DeNuevo) {
            // Not UTF-8 after all: read again from the start, decoded as Windows-1252.
            direcciones.clear();
            lector = lectorPara(ruta, formato, destino);
            legado = true;
            continue;
        }
        if (legado) {
            vigia.mirar(pieza);
        }
        alLector(*lector, pieza);
        if (avance != nullptr && !avance->seguir(entrada.leidos(), entrada.tamano())) {
            lectura.interrumpido = true;
            return lectura;
        }
    }
    lector->fin();
    if (legado && juzgarCodificacion(formato) && vigia.ajena()) {
        direcciones.clear();
        lectura.ajena = true;
    }
    return lectura;
}

Desenlace procesarFormato(Estado& estado, Puerto& puerto, Formato formato) {
    estado.lineas.clear();
    AvanceDelPuerto avance(puerto, Fase::Extraccion);
    const Lectura lectura = leerDirecciones(estado.archivoEntrada, formato, estado.lineas, &avance);
    if (lectura.fallo) {
        estado.lineas.clear();
        puerto.mensaje(mensajeFallo(kNoSeLeyo, estado.archivoEntrada, lectura.fallo.motivo),
                       Estilo::Critico, kTitulo);
        return Desenlace::FalloArchivo;
    }
    if (lectura.interrumpido) {
        return Desenlace::Interrumpido;
    }
    if (lectura.ajena) {
        puerto.mensaje(mensajeFallo(kNoSeLeyo, estado.archivoEntrada, kOtraCodificacion),
                       Estilo::Exclamacion, kTitulo);
        return Desenlace::Rechazado;
    }
    // The list is written only if the file is still as it was read.
    estado.huellaEntrada = lectura.huella;
    // Like pasted messages: every address once.
    return ordenarYEscribir(estado, puerto, Camino::Masivo);
}

}  // namespace tralmix::formatos
