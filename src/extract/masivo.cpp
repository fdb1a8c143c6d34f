#include "extract/masivo.h"

#include <array>
#include <unordered_set>

#include "extract/cubo.h"
#include "extract/resultado.h"
#include "util/archivos.h"
#include "util/cadenas.h"
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

constexpr std::u16string_view kAdd = u"add";
constexpr std::u16string_view kSender = u"sender to contacts";

// The "add" of an "Add sender to contacts" link glued to the address before it: cut only where it
// ends a word, so that names like maddie@… keep their letters.
bool terminaPalabra(std::u16string_view texto, std::size_t despues) {
    if (despues == texto.size()) {
        return true;
    }
    switch (texto[despues]) {
        case u' ':
        case u'\t':
        case u'\r':
        case u'\n':
        case u',':
        case u';':
            return true;
        default:
            return texto.substr(despues).starts_with(kSender);
    }
}

void quitarAddFinal(std::u16string& texto) {
    const std::u16string_view vista(texto);
    std::size_t hallado = vista.find(kAdd);
    if (hallado == std::u16string_view::npos) {
        return;
    }
    // In place, as reemplazarEnSitio: "add" becomes one space, so writing never passes reading.
    std::size_t escrito = 0;
    std::size_t leido = 0;
    while (hallado != std::u16string_view::npos) {
        if (terminaPalabra(vista, hallado + kAdd.size())) {
            std::char_traits<char16_t>::move(texto.data() + escrito, texto.data() + leido,
                                             hallado - leido);
            escrito += hallado - leido;
            texto[escrito++] = u' ';
            leido = hallado + kAdd.size();
            hallado = vista.find(kAdd, leido);
        } else {
            hallado = vista.find(kAdd, hallado + 1);
        }
    }
    std::char_traits<char16_t>::move(texto.data() + escrito, texto.data() + leido,
                                     texto.size() - leido);
    texto.resize(escrito + texto.size() - leido);
}

// Reads the file whose path the box holds as one text, every line followed by CR LF.
archivos::Fallo leerMensajes(std::u16string_view ruta, std::u16string& texto) {
    std::string bytes;
    if (auto fallo = archivos::leerTodo(ruta, bytes)) {
        return fallo;
    }
    std::u16string decodificado = texto::decodificar(bytes);
    bytes.clear();
    bytes.shrink_to_fit();
    const auto lineas = texto::lineasDeEntrada(decodificado);
    std::size_t total = 0;
    for (const auto& l : lineas) {
        total += l.size() + 2;
    }
    texto.clear();
    texto.reserve(total);
    for (const auto& l : lineas) {
        texto += l;
        texto += u"\r\n";
    }
    return {};
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
        if (palabra.find(u'@') == std::u16string_view::npos) {
            continue;
        }
        if (palabra.front() == u'(') {
            palabra.remove_prefix(1);
        }
        if (!palabra.empty() && palabra.back() == u')') {
            palabra.remove_suffix(1);
        }
        if (palabra.find_first_of(u"()") != std::u16string_view::npos) {
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

Desenlace masivo(Estado& estado, Puerto& puerto) {
    puerto.ponerTextoRuta(estado.archivoEntrada);
    const std::u16string ruta = puerto.textoRuta();
    std::u16string texto;
    if (const auto fallo = leerMensajes(ruta, texto)) {
        puerto.mensaje(mensajeFallo(u"No se pudo leer de nuevo el archivo:", ruta, fallo.motivo),
                       Estilo::Critico, kTitulo);
        return Desenlace::FalloArchivo;
    }
    texto::minusculasEnSitio(texto);
    normalizarMasivo(texto);
    extraerDirecciones(texto, estado.lineas);
    texto.clear();
    texto.shrink_to_fit();
    quitarRepetidos(estado.lineas, estado.copiaLineas);
    Cubo(estado.lineas, true);  // an empty list has nothing to sort and goes on all the same

    EtapaResultado etapa;
    if (!etapa.preparar(puerto)) {
        return Desenlace::FalloArchivo;
    }
    return etapa.terminar(estado, puerto, kCierreMasivo);
}

}  // namespace tralmix
