#include "extract/masivo.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_set>

#include "extract/cubo.h"
#include "extract/resultado.h"
#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/memoria.h"
#include "util/paralelo.h"
#include "util/texto.h"

namespace tralmix {
namespace {

struct Fila {
    std::u16string_view buscado;
    std::u16string_view reemplazo;
};

// Applied strictly in this order; rows 19 ("add") is handled apart, see quitarAddFinal.
constexpr std::size_t kFilaAdd = 18;
constexpr std::array<Fila, 38> kTabla{{
    {u".html", u""},    {u".htm", u""},        {u"de:", u" "},       {u"from:", u" "},
    {u"asunto:", u" "}, {u"subject:", u" "},   {u"a:", u" "},        {u"to:", u" "},
    {u"fecha:", u" "},  {u"date:", u" "},      {u"enviado:", u" "},  {u"fw:", u" "},
    {u"cc:", u" "},     {u"cco:", u" "},       {u"<", u" "},         {u">", u" "},
    {u"\"", u" "},      {u":", u" "},          {u"add", u" "},       {u"sender to contacts", u" "},
    {u",", u" "},       {u";", u" "},          {u"\r\n", u" "},      {u".......", u" "},
    {u"......", u" "},  {u".....", u" "},      {u"....", u" "},      {u"...", u" "},
    {u"..", u" "},      {u"----------", u" "}, {u"---------", u" "}, {u"--------", u" "},
    {u"-------", u" "}, {u"------", u" "},     {u"-----", u" "},     {u"----", u" "},
    {u"---", u" "},     {u"--", u" "},
}};

// The "add" of an "Add sender to contacts" link glued to the address before it: cut only where it
// ends a word, so that names like maddie@… keep their letters.
template <typename Caracter>
bool terminaPalabra(std::basic_string_view<Caracter> texto, std::size_t despues) {
    if (despues == texto.size()) {
        return true;
    }
    switch (texto[despues]) {
        case ' ':
        case '\t':
        case '\r':
        case '\n':
        case ',':
        case ';':
            return true;
        default: {
            constexpr std::string_view kSender = "sender to contacts";
            const auto resto = texto.substr(despues);
            return resto.size() >= kSender.size() &&
                   std::equal(kSender.begin(), kSender.end(), resto.begin());
        }
    }
}

template <typename Caracter>
void quitarAddFinal(std::basic_string<Caracter>& texto) {
    using Vista = std::basic_string_view<Caracter>;
    using Rasgos = std::char_traits<Caracter>;
    const Caracter kAdd[] = {'a', 'd', 'd'};
    const Vista add(kAdd, 3);
    const Vista vista(texto);
    std::size_t hallado = buscarEn(vista, add, 0);
    if (hallado == Vista::npos) {
        return;
    }
    // In place, as reemplazarEnSitio: "add" becomes one space, so writing never passes reading.
    std::size_t escrito = 0;
    std::size_t leido = 0;
    while (hallado != Vista::npos) {
        if (terminaPalabra(vista, hallado + add.size())) {
            Rasgos::move(texto.data() + escrito, texto.data() + leido, hallado - leido);
            escrito += hallado - leido;
            texto[escrito++] = static_cast<Caracter>(' ');
            leido = hallado + add.size();
            hallado = buscarEn(vista, add, leido);
        } else {
            hallado = buscarEn(vista, add, hallado + 1);
        }
    }
    Rasgos::move(texto.data() + escrito, texto.data() + leido, texto.size() - leido);
    texto.resize(escrito + texto.size() - leido);
}

// The table in UTF-8 with, for each row, the bytes its search text needs.
struct FilaUtf8 {
    std::string buscado;
    std::string reemplazo;
    std::string necesita;  // its distinct bytes other than the space
};

// The bytes a line holds, and whether it holds ".." or "--".
struct Presentes {
    std::array<bool, 256> byte{};
    bool puntos = false;
    bool guiones = false;
};

std::array<FilaUtf8, kTabla.size()> tablaUtf8() {
    std::array<FilaUtf8, kTabla.size()> t;
    for (std::size_t i = 0; i < kTabla.size(); ++i) {
        t[i].buscado = texto::aUtf8(kTabla[i].buscado);
        t[i].reemplazo = texto::aUtf8(kTabla[i].reemplazo);
        for (const char c : t[i].buscado) {
            // A space can appear where there was none (every row but two leaves one), so it is
            // never a reason to skip a row.
            if (c != ' ' && t[i].necesita.find(c) == std::string::npos) {
                t[i].necesita += c;
            }
        }
    }
    return t;
}

// The table's runs of alike rows, 0-based, each from its first row to one past its last.
constexpr std::size_t kEncabezadosDesde = 2;  // "de:" … "cco:"
constexpr std::size_t kEncabezadosHasta = 14;
constexpr std::size_t kSignosDesde = 14;  // "<", ">", the quote, ":"
constexpr std::size_t kSignosHasta = 18;
constexpr std::size_t kSeparadoresDesde = 20;  // ",", ";"
constexpr std::size_t kSeparadoresHasta = 22;
constexpr std::size_t kFilaFinDeLinea = 22;  // CR LF
constexpr std::size_t kPuntosDesde = 23;
constexpr std::size_t kGuionesDesde = 29;

constexpr bool unCaracterAEspacio(std::size_t desde, std::size_t hasta) {
    for (std::size_t i = desde; i < hasta; ++i) {
        if (kTabla[i].buscado.size() != 1 || kTabla[i].buscado[0] == u' ' ||
            kTabla[i].buscado[0] >= 128 || kTabla[i].reemplazo != u" ") {
            return false;
        }
    }
    return true;
}

// What the line-by-line form relies on; see normalizarLinea.
constexpr bool formaDeLaTabla() {
    for (std::size_t i = 0; i < kTabla.size(); ++i) {
        const auto& f = kTabla[i];
        const bool finDeLinea = i == kFilaFinDeLinea;
        if (finDeLinea != (f.buscado == u"\r\n") ||
            (!finDeLinea && (f.buscado.find_first_of(u"\r\n") != std::u16string_view::npos)) ||
            (f.reemplazo != u"" && f.reemplazo != u" ")) {
            return false;
        }
        const bool encabezado = i >= kEncabezadosDesde && i < kEncabezadosHasta;
        if (encabezado &&
            (f.buscado.find(u':') != f.buscado.size() - 1 ||
             f.buscado.find(u' ') != std::u16string_view::npos || f.reemplazo != u" ")) {
            return false;
        }
        if (i >= kPuntosDesde && f.buscado.find_first_not_of(i < kGuionesDesde ? u'.' : u'-') !=
                                     std::u16string_view::npos) {
            return false;
        }
        if (i >= kPuntosDesde && f.buscado.size() < 2) {
            return false;
        }
    }
    return unCaracterAEspacio(kSignosDesde, kSignosHasta) &&
           unCaracterAEspacio(kSeparadoresDesde, kSeparadoresHasta) &&
           kTabla[kFilaAdd].buscado == u"add" && kEncabezadosHasta <= kSignosDesde;
}
static_assert(formaDeLaTabla(), "the line-by-line form assumes this shape of the table");

// Rows "de:" to "cco:" in one pass. Each of their texts ends in its only ":", so a match ends at a
// ":" of the line and holds no other; matches at different ":" never overlap, and the space a
// match leaves is no part of any of these texts. Each ":" is therefore taken by the first of
// these rows, in table order, whose text ends there, whatever the other rows do elsewhere.
void quitarEncabezados(std::string& t, const std::array<FilaUtf8, kTabla.size()>& tabla) {
    std::size_t dos = t.find(':');
    std::size_t escrito = 0;
    std::size_t leido = 0;
    while (dos != std::string::npos) {
        const std::string_view antes = std::string_view(t).substr(leido, dos + 1 - leido);
        for (std::size_t fila = kEncabezadosDesde; fila < kEncabezadosHasta; ++fila) {
            const std::string& b = tabla[fila].buscado;
            if (antes.ends_with(b)) {
                const std::size_t inicio = dos + 1 - b.size();
                std::char_traits<char>::move(t.data() + escrito, t.data() + leido, inicio - leido);
                escrito += inicio - leido;
                t[escrito++] = ' ';
                leido = dos + 1;
                break;
            }
        }
        dos = t.find(':', dos + 1);
    }
    if (leido > 0) {
        std::char_traits<char>::move(t.data() + escrito, t.data() + leido, t.size() - leido);
        t.resize(escrito + t.size() - leido);
    }
}

// A run of rows that each turn one character into a space, in one pass: none of them seeks a
// space, so their order does not matter.
using MapaEspacios = std::array<char, 256>;

constexpr MapaEspacios crearMapaEspacios(std::size_t desde, std::size_t hasta) {
    MapaEspacios m{};
    for (std::size_t b = 0; b < 256; ++b) {
        m[b] = static_cast<char>(b);
    }
    for (std::size_t i = desde; i < hasta; ++i) {
        m[kTabla[i].buscado[0]] = ' ';
    }
    return m;
}

constexpr MapaEspacios kMapaSignos = crearMapaEspacios(kSignosDesde, kSignosHasta);
constexpr MapaEspacios kMapaSeparadores = crearMapaEspacios(kSeparadoresDesde, kSeparadoresHasta);

void aEspacios(std::string& t, const MapaEspacios& mapa) {
    for (char& c : t) {
        c = mapa[static_cast<unsigned char>(c)];
    }
}

bool posible(const FilaUtf8& f, const Presentes& presentes) {
    for (const char c : f.necesita) {
        if (!presentes.byte[static_cast<unsigned char>(c)]) {
            return false;
        }
    }
    return true;
}

bool alguno(const std::array<FilaUtf8, kTabla.size()>& tabla, std::size_t desde, std::size_t hasta,
            const Presentes& presentes) {
    for (std::size_t i = desde; i < hasta; ++i) {
        if (posible(tabla[i], presentes)) {
            return true;
        }
    }
    return false;
}

// The table on one line of the message text, lower-cased, which ends in a space where the text
// has its CR LF: the line's only CR and LF are that pair at its end, no other row seeks either,
// and the only row that looks past what it finds ("add") takes a space as it takes a CR, so the
// CR LF row is done before the others. Rows only delete or put a space in place of what they
// find, so no byte appears that the line did not hold before, except the space: a row that needs
// a byte the line lacks finds nothing and is skipped, and so are the rows of dots or dashes when
// no ".." or "--" is left.
void normalizarLinea(std::string& t, const std::array<FilaUtf8, kTabla.size()>& tabla) {
    Presentes presentes;
    char antes = ' ';
    bool puntos = false;  // locals: stores into the byte table could alias the members
    bool guiones = false;
    for (const char c : t) {
        presentes.byte[static_cast<unsigned char>(c)] = true;
        puntos = puntos || (c == '.' && antes == '.');
        guiones = guiones || (c == '-' && antes == '-');
        antes = c;
    }
    presentes.puntos = puntos;
    presentes.guiones = guiones;
    // Deleting ".html" or ".htm" can bring dots or dashes together; nothing else can.
    const std::size_t largo = t.size();
    for (std::size_t fila = 0; fila < kEncabezadosDesde; ++fila) {
        if (posible(tabla[fila], presentes)) {
            reemplazarEnSitio(t, tabla[fila].buscado, tabla[fila].reemplazo);
        }
    }
    if (t.size() != largo) {
        presentes.puntos = t.find("..") != std::string::npos;
        presentes.guiones = t.find("--") != std::string::npos;
    }
    if (alguno(tabla, kEncabezadosDesde, kEncabezadosHasta, presentes)) {
        quitarEncabezados(t, tabla);
    }
    if (alguno(tabla, kSignosDesde, kSignosHasta, presentes)) {
        aEspacios(t, kMapaSignos);
    }
    for (std::size_t fila = kSignosHasta; fila < kSeparadoresDesde; ++fila) {
        if (!posible(tabla[fila], presentes)) {
            continue;
        }
        if (fila == kFilaAdd) {
            quitarAddFinal(t);
        } else {
            reemplazarEnSitio(t, tabla[fila].buscado, tabla[fila].reemplazo);
        }
    }
    if (alguno(tabla, kSeparadoresDesde, kSeparadoresHasta, presentes)) {
        aEspacios(t, kMapaSeparadores);
    }
    const std::size_t primeraTrasFin = kFilaFinDeLinea + 1;
    for (std::size_t fila = primeraTrasFin; fila < tabla.size(); ++fila) {
        if (fila == kPuntosDesde && !presentes.puntos) {
            fila = kGuionesDesde - 1;
            continue;
        }
        if (fila == kGuionesDesde && !presentes.guiones) {
            break;
        }
        if (posible(tabla[fila], presentes)) {
            reemplazarEnSitio(t, tabla[fila].buscado, tabla[fila].reemplazo);
        }
    }
}

// The acceptance test: one bracket off each end, then no bracket left.
template <typename Caracter>
bool aceptar(std::basic_string_view<Caracter>& palabra) {
    if (palabra.front() == '(') {
        palabra.remove_prefix(1);
    }
    if (!palabra.empty() && palabra.back() == ')') {
        palabra.remove_suffix(1);
    }
    return std::none_of(palabra.begin(), palabra.end(),
                        [](Caracter c) { return c == '(' || c == ')'; });
}

// The lines of the message text that hold an "@", each lower-cased and ended by CR LF, go through
// the table one by one and give their words. This equals the table on the whole text: every
// line of that text ends in CR LF, no row other than the CR LF row seeks a CR or LF, and that row
// leaves a space there, so no match, no word and no "add" followed by its neighbour crosses from
// one line into the next. A line without "@" gives no word, since neither lower-casing nor any
// row makes an "@".
template <typename Guardar>
void recorrerLineas(std::string_view texto, Guardar&& guardar) {
    const auto tabla = tablaUtf8();
    const std::size_t n = texto.size();
    auto esFin = [](char c) { return c == '\r' || c == '\n'; };
    std::string t;
    std::size_t pos = 0;
    while (pos < n) {
        const void* arroba = std::memchr(texto.data() + pos, '@', n - pos);
        if (arroba == nullptr) {
            break;
        }
        const auto a = static_cast<std::size_t>(static_cast<const char*>(arroba) - texto.data());
        std::size_t inicio = a;
        while (inicio > pos && !esFin(texto[inicio - 1])) {
            --inicio;
        }
        std::size_t fin = a;
        while (fin < n && !esFin(texto[fin])) {
            ++fin;
        }
        t.clear();
        texto::agregarMinusculasUtf8(t, texto.substr(inicio, fin - inicio));
        t += ' ';  // the line's CR LF, as its row leaves it
        normalizarLinea(t, tabla);
        const std::string_view vista(t);
        std::size_t i = 0;
        while (i < vista.size()) {
            while (i < vista.size() && vista[i] == ' ') {
                ++i;
            }
            const std::size_t comienzo = i;
            bool conArroba = false;
            while (i < vista.size() && vista[i] != ' ') {
                conArroba = conArroba || vista[i] == '@';
                ++i;
            }
            std::string_view palabra = vista.substr(comienzo, i - comienzo);
            if (conArroba && aceptar(palabra)) {
                guardar(palabra);
            }
        }
        pos = fin;
    }
}

Desenlace terminar(Estado& estado, Puerto& puerto, const PalabrasUtf8& palabras);

// How far ahead of the conversion the sorted texts are fetched.
constexpr std::size_t kAdelanto = 16;

void convertir(std::string_view utf8, std::u16string& salida) {
    if (!texto::desdeUtf8(utf8, salida)) {
        salida = texto::desdeUtf8OReemplazo(utf8);
    }
}

}  // namespace

void normalizarMasivo(std::u16string& texto) {
    for (std::size_t fila = 0; fila < kTabla.size(); ++fila) {
        if (fila == kFilaAdd) {
            quitarAddFinal(texto);
        } else {
            reemplazarEnSitio(texto, kTabla[fila].buscado, kTabla[fila].reemplazo);
        }
    }
}

void extraerDirecciones(std::u16string_view texto, std::vector<std::u16string>& lineas) {
    lineas.clear();
    std::u16string_view resto = texto::recortar(texto);
    while (!resto.empty()) {
        const std::size_t espacio = resto.find(u' ');
        std::u16string_view palabra = resto.substr(0, espacio);
        resto = espacio == std::u16string_view::npos ? std::u16string_view{}
                                                     : texto::recortar(resto.substr(espacio));
        if (palabra.find(u'@') == std::u16string_view::npos || !aceptar(palabra)) {
            continue;
        }
        if (lineas.empty()) {
            lineas.emplace_back();  // position 0 stays empty
        }
        lineas.emplace_back(palabra);
    }
}

void quitarRepetidos(std::vector<std::u16string>& lineas,
                     std::vector<std::u16string>& copiaLineas) {
    copiaLineas = lineas;
    // One hashed pass gives what comparing every pair gives: the first place keeps the address.
    std::unordered_set<std::u16string_view> vistas;
    vistas.reserve(copiaLineas.size());
    for (std::size_t i = 0; i < copiaLineas.size(); ++i) {
        if (copiaLineas[i].empty()) {
            continue;
        }
        if (!vistas.insert(copiaLineas[i]).second) {
            lineas[i].clear();
        }
    }
}

std::string_view PalabrasUtf8::operator[](std::size_t i) const {
    const std::size_t desde = i == 0 ? 0 : fines[i - 1];
    return std::string_view(bytes).substr(desde, fines[i] - desde);
}

void PalabrasUtf8::anexar(const PalabrasUtf8& otras) {
    const std::size_t base = bytes.size();
    bytes += otras.bytes;
    fines.reserve(fines.size() + otras.fines.size());
    for (const std::size_t f : otras.fines) {
        fines.push_back(base + f);
    }
}

void direccionesUtf8(std::string_view textoUtf8, PalabrasUtf8& palabras) {
    palabras.bytes.clear();
    palabras.fines.clear();
    // Room for the most the text can give, so nothing is copied while growing; pages never
    // written are never taken from the system.
    palabras.bytes.reserve(textoUtf8.size() + textoUtf8.size() / 2);
    palabras.fines.reserve(textoUtf8.size() / 2);
    recorrerLineas(textoUtf8, [&](std::string_view palabra) {
        palabras.bytes += palabra;
        palabras.fines.push_back(palabras.bytes.size());
    });
}

Desenlace masivo(Estado& estado, Puerto& puerto) {
    puerto.ponerTextoRuta(estado.archivoEntrada);
    const std::u16string ruta = puerto.textoRuta();
    std::string bytes;
    if (const auto fallo = archivos::leerTodo(ruta, bytes)) {
        puerto.mensaje(mensajeFallo(u"No se pudo leer de nuevo el archivo:", ruta, fallo.motivo),
                       Estilo::Critico, kTitulo);
        return Desenlace::FalloArchivo;
    }
    return masivoDesdeTexto(estado, puerto, texto::decodificarUtf8(std::move(bytes)));
}

Desenlace masivoDesdeTexto(Estado& estado, Puerto& puerto, std::string textoUtf8) {
    PalabrasUtf8 palabras;
    direccionesUtf8(textoUtf8, palabras);
    std::string().swap(textoUtf8);  // assigning an empty string would keep the buffer
    return masivoDesdePalabras(estado, puerto, palabras);
}

Desenlace masivoDesdePalabras(Estado& estado, Puerto& puerto, const PalabrasUtf8& palabras) {
    puerto.ponerTextoRuta(estado.archivoEntrada);
    return terminar(estado, puerto, palabras);
}

namespace {

Desenlace terminar(Estado& estado, Puerto& puerto, const PalabrasUtf8& palabras) {
    // Sorted, every later one of equal addresses blanked: the blanks sort first, so the list is
    // the blanks followed by each address once, in order.
    const std::size_t n = palabras.size();
    std::vector<std::string_view> unicas(n);
    for (std::size_t i = 0; i < n; ++i) {
        unicas[i] = palabras[i];
    }
    ordenarComoUtf16(unicas);
    unicas.erase(std::unique(unicas.begin(), unicas.end()), unicas.end());

    EtapaResultado etapa;
    const bool listo = etapa.preparar(puerto);

    // lineas: position 0 and the repeats empty, then the addresses; copiaLineas: position 0 empty,
    // then every accepted word in text order. Nothing at all when no word was accepted. This
    // thread writes the list file, makes lineas and the start of copiaLineas; a second one makes
    // the rest of copiaLineas, about as much work.
    estado.lineas.clear();
    estado.copiaLineas.clear();
    if (n > 0) {
        estado.copiaLineas.resize(n + 1);
    }
    const std::size_t reparto = n > 2 * unicas.size() ? (n - 2 * unicas.size()) / 2 : 0;
    auto copiar = [&](std::size_t desde, std::size_t hasta) {
        for (std::size_t i = desde; i < hasta; ++i) {
            convertir(palabras[i], estado.copiaLineas[i + 1]);
        }
    };
    auto lista = [&] {
        if (listo) {
            etapa.escribir(unicas);
        }
        if (n == 0) {
            return;
        }
        estado.lineas.reserve(n + 1);
        estado.lineas.resize(n + 1 - unicas.size());
        for (std::size_t i = 0; i < unicas.size(); ++i) {
            if (i + kAdelanto < unicas.size()) {
                anticipar(unicas[i + kAdelanto].data());
            }
            convertir(unicas[i], estado.lineas.emplace_back());
        }
        copiar(0, reparto);
    };
    aLaVez(lista, [&] { copiar(reparto, n); });
    if (!listo) {
        return Desenlace::FalloArchivo;
    }
    return etapa.anunciar(puerto, kCierreMasivo);
}

}  // namespace
}  // namespace tralmix
