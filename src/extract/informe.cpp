#include "extract/informe.h"

#include <algorithm>

#include "extract/formatos/formatos.h"
#include "util/texto.h"

namespace tralmix {
namespace {

void agregarCadena(std::string& json, std::string_view utf8) {
    constexpr char kHex[] = "0123456789abcdef";
    json += '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                if (u < 0x20) {
                    json += "\\u00";
                    json += kHex[u >> 4];
                    json += kHex[u & 15];
                } else {
                    json += c;
                }
        }
    }
    json += '"';
}

void agregarCadena(std::string& json, std::u16string_view texto) {
    agregarCadena(json, std::string_view(texto::aUtf8(texto)));
}

void agregarCampo(std::string& json, std::string_view nombre, std::uint64_t valor) {
    json += ", \"";
    json += nombre;
    json += "\": ";
    json += std::to_string(valor);
}

void agregarArchivos(std::string& json, std::string_view nombre,
                     const std::vector<ArchivoInforme>& archivos) {
    json += ", \"";
    json += nombre;
    json += "\": [";
    for (std::size_t i = 0; i < archivos.size(); ++i) {
        json += i == 0 ? "{\"ruta\": " : ", {\"ruta\": ";
        agregarCadena(json, archivos[i].ruta);
        json += ", \"formato\": ";
        agregarCadena(json, std::string_view(archivos[i].formato));
        agregarCampo(json, "direcciones", archivos[i].direcciones);
        json += '}';
    }
    json += ']';
}

std::u16string contado(std::uint64_t n, std::u16string_view uno, std::u16string_view varios) {
    return conMillares(n) + u" " + std::u16string(n == 1 ? uno : varios);
}

std::u16string_view nombreDe(std::u16string_view ruta) {
    const std::size_t corte = ruta.find_last_of(u"/\\");
    return corte == std::u16string_view::npos ? ruta : ruta.substr(corte + 1);
}

}  // namespace

std::string formatoDeInforme(std::u16string_view ruta, bool mensajes) {
    using formatos::Formato;
    // As the run chose it: a file without an extension by its content.
    switch (formatos::elegir(ruta).formato) {
        case Formato::Vcard:
            return "vcard";
        case Formato::Csv:
            return "csv";
        case Formato::Ldif:
            return "ldif";
        case Formato::Correo:
            return "eml";
        case Formato::Mbox:
            return "mbox";
        case Formato::Texto:
            // ".ctt" in any case: the contact list.
            if (ruta.size() >= 4 && ruta[ruta.size() - 4] == u'.' &&
                (ruta[ruta.size() - 3] | 0x20) == u'c' && (ruta[ruta.size() - 2] | 0x20) == u't' &&
                (ruta[ruta.size() - 1] | 0x20) == u't') {
                return "ctt";
            }
            break;
        case Formato::Ninguno:
            break;
    }
    return mensajes ? "mensajes" : "lista";
}

std::string informeJson(const Informe& informe) {
    std::string json = "{\"version\": 1";
    agregarArchivos(json, "archivos", informe.archivos);
    agregarArchivos(json, "exclusiones", informe.exclusiones);
    agregarCampo(json, "encontradas", informe.encontradas);
    agregarCampo(json, "repetidas", informe.repetidas);
    agregarCampo(json, "excluidas", informe.excluidas);
    agregarCampo(json, "listadas", informe.listadas);
    agregarCampo(json, "grupos", informe.grupos);
    json += informe.depurada ? ", \"depurada\": true" : ", \"depurada\": false";
    agregarCampo(json, "descartadas", informe.descartadas);
    agregarCampo(json, "corregidas", informe.corregidas);
    agregarCampo(json, "dudosas", informe.dudosas);
    json += ", \"avisos\": [";
    for (std::size_t i = 0; i < informe.avisos.size(); ++i) {
        const Aviso& a = informe.avisos[i];
        json += i == 0 ? "{\"direccion\": " : ", {\"direccion\": ";
        agregarCadena(json, std::string_view(a.direccion));
        json += ", \"motivo\": ";
        agregarCadena(json, nombreMotivo(a.motivo));
        json += ", \"sugerencia\": ";
        if (a.sugerencia.empty()) {
            json += "null";
        } else {
            agregarCadena(json, std::string_view(a.sugerencia));
        }
        json += '}';
    }
    json += "]}\n";
    return json;
}

std::u16string conMillares(std::uint64_t n) {
    const std::string cifras = std::to_string(n);
    std::u16string salida;
    for (std::size_t i = 0; i < cifras.size(); ++i) {
        if (i > 0 && (cifras.size() - i) % 3 == 0) {
            salida += u'.';
        }
        salida += static_cast<char16_t>(cifras[i]);
    }
    return salida;
}

std::u16string resumen(const Informe& informe) {
    std::u16string linea = u"Resumen: ";
    if (informe.listadas == 0) {
        linea += u"ninguna dirección en la lista";
    } else {
        linea += contado(informe.listadas, u"dirección", u"direcciones");
        linea += u" en ";
        linea += contado(informe.grupos, u"grupo", u"grupos");
    }
    if (informe.repetidas > 0 || informe.excluidas > 0) {
        linea += u"; ";
        if (informe.repetidas > 0) {
            linea += contado(informe.repetidas, u"repetida", u"repetidas");
        }
        if (informe.repetidas > 0 && informe.excluidas > 0) {
            linea += u" y ";
        }
        if (informe.excluidas > 0) {
            linea += contado(informe.excluidas, u"excluida", u"excluidas");
        }
        linea += informe.repetidas + informe.excluidas == 1 ? u" quitada" : u" quitadas";
    }
    // With several inputs, one that gave nothing may be the wrong file: the person is told which.
    if (informe.archivos.size() > 1) {
        bool primero = true;
        for (const ArchivoInforme& a : informe.archivos) {
            if (a.direcciones == 0) {
                linea += primero ? u"; sin direcciones: " : u", ";
                linea += nombreDe(a.ruta);
                primero = false;
            }
        }
    }
    return linea;
}

std::u16string lineaDeAviso(const Aviso& aviso) {
    std::u16string linea = u"Aviso: ";
    linea += texto::desdeUtf8OReemplazo(aviso.direccion);
    switch (aviso.motivo) {
        case Motivo::DominioParecido:
            linea += u": ¿quiso decir ";
            linea += texto::desdeUtf8OReemplazo(aviso.sugerencia);
            linea += u'?';
            break;
        case Motivo::Rol:
            linea += u": cuenta de función (no es de una persona)";
            break;
    }
    return linea;
}

std::vector<std::u16string> lineasDelResumen(const Informe& informe) {
    return lineasDelResumen(informe, {});
}

std::vector<std::u16string> lineasDelResumen(const Informe& informe,
                                             std::u16string_view comoPedirlo) {
    std::vector<std::u16string> lineas = {resumen(informe)};
    if (informe.depurada) {
        std::u16string linea = u"Lista depurada: ";
        if (informe.descartadas == 0 && informe.corregidas == 0) {
            linea += u"todas las entradas eran direcciones";
        } else {
            // "entradas" once, with the first count.
            if (informe.descartadas > 0) {
                linea +=
                    contado(informe.descartadas, u"entrada descartada", u"entradas descartadas");
            }
            if (informe.descartadas > 0 && informe.corregidas > 0) {
                linea += u" y ";
                linea += contado(informe.corregidas, u"corregida", u"corregidas");
            } else if (informe.corregidas > 0) {
                linea += contado(informe.corregidas, u"entrada corregida", u"entradas corregidas");
            }
        }
        lineas.push_back(std::move(linea));
    } else if (informe.dudosas > 0) {
        std::u16string linea = contado(informe.dudosas, u"entrada no parece una dirección",
                                       u"entradas no parecen direcciones");
        linea += u": active «Depurar la lista»";
        if (!comoPedirlo.empty()) {
            linea += u" (";
            linea += comoPedirlo;
            linea += u')';
        }
        lineas.push_back(std::move(linea));
    }
    const std::size_t mostrados = std::min(informe.avisos.size(), kAvisosMostrados);
    for (std::size_t i = 0; i < mostrados; ++i) {
        lineas.push_back(lineaDeAviso(informe.avisos[i]));
    }
    if (informe.avisos.size() > mostrados) {
        lineas.push_back(u"y " + conMillares(informe.avisos.size() - mostrados) + u" más");
    }
    return lineas;
}

}  // namespace tralmix
