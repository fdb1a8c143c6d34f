#include "literal.h"

#include <algorithm>
#include <set>

#include "extract/limpieza.h"
#include "extract/tabla_masivo.h"
#include "util/texto.h"

namespace tralmix::literal {
namespace {

std::u16string u16(std::string_view utf8) {
    return texto::desdeUtf8OReemplazo(utf8);
}

bool contiene(std::u16string_view t, std::u16string_view s) {
    return t.find(s) != std::u16string_view::npos;
}

char16_t menor(char16_t c) {
    const std::u16string m = texto::minusculas(std::u16string_view(&c, 1));
    return m.size() == 1 ? m[0] : c;
}

bool igualEn(std::u16string_view t, std::size_t p, std::u16string_view b, int modo) {
    for (std::size_t k = 0; k < b.size(); ++k) {
        if (modo == 0 ? t[p + k] != b[k] : menor(t[p + k]) != menor(b[k])) {
            return false;
        }
    }
    return true;
}

// Row 19 of the bulk table: "add" becomes a space only where it ends a word.
std::u16string quitarAdd(std::u16string_view t) {
    std::u16string r;
    std::size_t copiado = 0;
    for (std::size_t p = t.find(u"add"); p != std::u16string::npos; p = t.find(u"add", p + 1)) {
        if (p < copiado) {
            continue;
        }
        const std::u16string_view resto = t.substr(p + 3);
        if (resto.empty() || resto.find_first_of(u" \t\r\n,;") == 0 ||
            resto.starts_with(u"sender to contacts")) {
            r.append(t.substr(copiado, p - copiado));
            r += u' ';
            copiado = p + 3;
        }
    }
    r.append(t.substr(copiado));
    return r;
}

}  // namespace

std::u16string reemplazar(std::u16string_view texto, std::u16string_view buscado,
                          std::u16string_view reemplazo, std::int64_t inicio, std::int64_t cantidad,
                          int modo) {
    if (inicio < 1) {
        inicio = 1;
    }
    if (static_cast<std::uint64_t>(inicio) > texto.size()) {
        return {};
    }
    if (buscado.empty()) {
        return std::u16string(texto);
    }
    // The text before each occurrence, then the replacement; the search goes on after the
    // occurrence in the text, which is right after the replacement in the result.
    auto p = static_cast<std::size_t>(inicio - 1);
    std::u16string resultado(texto.substr(0, p));
    for (std::int64_t hechos = 0; cantidad < 0 || hechos < cantidad; ++hechos) {
        std::size_t q = p;
        while (q + buscado.size() <= texto.size() && !igualEn(texto, q, buscado, modo)) {
            ++q;
        }
        if (q + buscado.size() > texto.size()) {
            break;
        }
        resultado.append(texto.substr(p, q - p));
        resultado.append(reemplazo);
        p = q + buscado.size();
    }
    resultado.append(texto.substr(p));
    return resultado;
}

std::vector<std::u16string_view> lineasDeEntrada(std::u16string_view texto) {
    std::vector<std::u16string_view> lineas;
    std::size_t inicio = 0;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == u'\r' || texto[i] == u'\n') {
            lineas.push_back(texto.substr(inicio, i - inicio));
            if (texto[i] == u'\r' && i + 1 < texto.size() && texto[i + 1] == u'\n') {
                ++i;
            }
            inicio = i + 1;
        }
    }
    if (inicio < texto.size()) {
        lineas.push_back(texto.substr(inicio));
    }
    return lineas;
}

std::u16string limpieza(std::u16string qLimpiar) {
    for (const FilaTabla& fila : tablaLimpieza()) {
        qLimpiar = reemplazar(qLimpiar, u16(fila.buscado), u16(fila.reemplazo));
    }
    return qLimpiar;
}

// Invisible characters (default-ignorable or bidirectional controls): no address holds one.
bool invisible(std::u16string_view t) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        char32_t c = t[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 &&
            t[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (t[++i] - 0xDC00u);
        }
        if (texto::esInvisible(c)) {
            return true;
        }
    }
    return false;
}

Lineas extraerDirecciones(std::u16string_view mensajes) {
    std::u16string texto = texto::minusculas(mensajes);
    for (const FilaTabla& fila : tablaMasivo()) {
        texto = fila.buscado == "add" ? quitarAdd(texto)
                                      : reemplazar(texto, u16(fila.buscado), u16(fila.reemplazo));
    }
    Lineas lineas;
    std::u16string_view resto = texto::recortar(texto);
    while (!resto.empty()) {
        const std::size_t espacio = resto.find(u' ');
        std::u16string_view palabra = resto.substr(0, espacio);
        resto = espacio == std::u16string_view::npos ? std::u16string_view{}
                                                     : texto::recortar(resto.substr(espacio));
        if (!contiene(palabra, u"@")) {
            continue;
        }
        if (palabra.front() == u'(') {
            palabra.remove_prefix(1);
        }
        if (!palabra.empty() && palabra.back() == u')') {
            palabra.remove_suffix(1);
        }
        if (contiene(palabra, u"(") || contiene(palabra, u")") || invisible(palabra)) {
            continue;
        }
        lineas.resize(lineas.size() + (lineas.empty() ? 2 : 1));
        lineas.back() = palabra;
    }
    return lineas;
}

void quitarRepetidos(Lineas& lineas) {
    // The reference of the pass: every word as the scan found it.
    const Lineas copia = lineas;
    if (lineas.size() > 3000) {
        // Every pair compared, as below, blanks each later repeat of a text: a set of the texts
        // seen gives the same array without the square of the work.
        std::set<std::u16string> vistas;
        for (std::u16string& l : lineas) {
            if (!l.empty() && !vistas.insert(l).second) {
                l.clear();
            }
        }
        return;
    }
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        for (std::size_t j = 0; j < lineas.size(); ++j) {
            if (j != i && copia[j] == lineas[i]) {
                lineas[j].clear();
            }
        }
    }
}

void filtrarLista(Lineas& lineas) {
    for (std::u16string& elemento : lineas) {
        std::u16string t(texto::recortar(elemento));
        if (t.empty()) {
            continue;
        }
        if (contiene(t, u".html")) {
            t = reemplazar(t, u".html", u"");
            elemento = t;
        }
        if (contiene(t, u".htm")) {
            t = reemplazar(t, u".htm", u"");
            elemento = t;
        }
        if (contiene(t, u"(") || contiene(t, u")") || contiene(t, u"..")) {
            elemento.clear();
        }
        if (!contiene(t, u"@") || invisible(t)) {
            elemento.clear();
        }
    }
}

void Cubo(Lineas& m, bool ascendente) {
    if (m.size() > 2000) {
        std::stable_sort(m.begin(), m.end());
        if (!ascendente) {
            std::reverse(m.begin(), m.end());
        }
        return;
    }
    for (std::size_t i = 1; i < m.size(); ++i) {
        std::u16string v = m[i];
        std::size_t j = i;
        while (j > 0 && (ascendente ? v < m[j - 1] : v >= m[j - 1])) {
            m[j] = m[j - 1];
            --j;
        }
        m[j] = v;
    }
}

std::string componerLista(const Lineas& lineas) {
    std::u16string salida;
    std::u16string pendiente;
    int contador = 1;
    for (std::size_t i = 0; i < lineas.size(); ++i) {
        const std::u16string t(texto::recortar(lineas[i]));
        if (t.empty()) {
            continue;
        }
        if (contador == 1) {
            salida += t + u"\r\n\r\n";
            ++contador;
        } else if (contador >= 48) {
            pendiente += lineas[i];
            salida += pendiente + u"\r\n\r\n\r\n";
            contador = 1;
            pendiente.clear();
        } else {
            pendiente += lineas[i];
            if (i != lineas.size() - 1) {
                pendiente += u", ";
            }
            ++contador;
        }
    }
    if (!pendiente.empty()) {
        if (pendiente.back() == u' ') {
            pendiente.pop_back();
        }
        if (!pendiente.empty() && pendiente.back() == u',') {
            pendiente.pop_back();
        }
        salida += pendiente + u"\r\n\r\n\r\n";
    }
    return texto::aUtf8(salida);
}

Corrida correr(std::string_view bytes) {
    Corrida c;
    const std::u16string entrada = texto::decodificar(bytes);
    std::u16string trabajo;
    for (const std::u16string_view linea : lineasDeEntrada(entrada)) {
        const std::u16string_view recortada = texto::recortar(linea);
        if (recortada.empty()) {
            continue;
        }
        const std::u16string limpia = limpieza(std::u16string(recortada));
        if (!limpia.empty() && !contiene(limpia, u"www.")) {
            trabajo += limpia + u"\r\n";
        }
    }
    c.trabajo = texto::aUtf8(trabajo);
    if (trabajo.empty()) {
        c.vacio = true;
        return c;
    }
    // The loader: split at CR LF, the text after the last one included.
    std::size_t inicio = 0;
    for (std::size_t p = trabajo.find(u"\r\n"); p != std::u16string::npos;
         p = trabajo.find(u"\r\n", inicio)) {
        c.lineas.push_back(trabajo.substr(inicio, p - inicio));
        inicio = p + 2;
    }
    c.lineas.push_back(trabajo.substr(inicio));
    c.masivo = std::any_of(c.lineas.begin(), c.lineas.end(), [](const std::u16string& l) {
        return contiene(l, u",") || contiene(l, u";");
    });
    if (c.masivo) {
        std::u16string mensajes;
        for (const std::u16string_view linea : lineasDeEntrada(entrada)) {
            mensajes += std::u16string(linea) + u"\r\n";
        }
        c.lineas = extraerDirecciones(mensajes);
        quitarRepetidos(c.lineas);
    } else {
        filtrarLista(c.lineas);
    }
    Cubo(c.lineas, true);
    c.lista = componerLista(c.lineas);
    return c;
}

Lineas comoLineas(const Arreglo& arreglo) {
    Lineas l;
    for (std::size_t i = 0; i < arreglo.size(); ++i) {
        l.push_back(u16(arreglo[i]));
    }
    return l;
}

Arreglo comoArreglo(const Lineas& lineas) {
    Arreglo a;
    for (const std::u16string& l : lineas) {
        a.agregar(texto::aUtf8(l));
    }
    return a;
}

}  // namespace tralmix::literal
