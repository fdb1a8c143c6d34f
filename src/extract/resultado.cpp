#include "extract/resultado.h"

#include "util/memoria.h"
#include "util/texto.h"

namespace tralmix {
namespace {

constexpr std::size_t kAddressesPorGrupo = 48;
constexpr std::size_t kTamanoTrozo = 1 << 20;
// The sorted elements lie scattered over the heap: they are fetched this far ahead.
constexpr std::size_t kAdelanto = 16;

std::u16string dosDigitos(unsigned n) {
    return {static_cast<char16_t>(u'0' + (n / 10) % 10), static_cast<char16_t>(u'0' + n % 10)};
}

}  // namespace

std::u16string rutaResultado(std::u16string_view carpeta, const Fecha& fecha) {
    std::u16string ruta(carpeta);
    if (ruta.empty() || ruta.back() != u'/') {
        ruta += u'/';
    }
    ruta += u"Mails_";
    ruta += texto::desdeUtf8OReemplazo(std::to_string(fecha.anio));
    ruta += dosDigitos(fecha.mes);
    ruta += dosDigitos(fecha.dia);
    ruta += u".txt";
    return ruta;
}

namespace {

void agregarBytes(std::string& salida, std::u16string_view t) {
    texto::agregarUtf8(salida, t);
}

void agregarBytes(std::string& salida, std::string_view t) {
    salida.append(t);
}

template <typename Caracter, typename Lista>
void componer(const Lista& lineas, const std::function<void(std::string_view)>& destino) {
    using Vista = std::basic_string_view<Caracter>;
    std::string salida;
    salida.reserve(kTamanoTrozo + 4096);
    auto vaciarSiLleno = [&] {
        if (salida.size() >= kTamanoTrozo) {
            destino(salida);
            salida.clear();
        }
    };
    const std::size_t n = lineas.size();
    std::size_t contador = 1;
    const Caracter espacio = static_cast<Caracter>(' ');
    const Caracter coma = static_cast<Caracter>(',');
    const Caracter separador[] = {coma, espacio};
    // The rest of a group is kept apart until the group closes: the end may still be cut.
    std::basic_string<Caracter> pendiente;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + kAdelanto < n) {
            anticipar(Vista(lineas[i + kAdelanto]).data());
        }
        const Vista elemento(lineas[i]);
        const auto primero = elemento.find_first_not_of(espacio);
        if (primero == Vista::npos) {
            continue;
        }
        if (contador == 1) {
            const auto ultimo = elemento.find_last_not_of(espacio);
            agregarBytes(salida, elemento.substr(primero, ultimo - primero + 1));
            salida += "\r\n\r\n";
            ++contador;
        } else if (contador >= kAddressesPorGrupo) {
            pendiente += elemento;
            agregarBytes(salida, Vista(pendiente));
            salida += "\r\n\r\n\r\n";
            contador = 1;
            pendiente.clear();
        } else {
            pendiente += elemento;
            if (i != n - 1) {
                pendiente.append(separador, 2);
            }
            ++contador;
        }
        vaciarSiLleno();
    }
    if (!pendiente.empty()) {
        if (pendiente.back() == espacio) {
            pendiente.pop_back();
        }
        if (!pendiente.empty() && pendiente.back() == coma) {
            pendiente.pop_back();
        }
        agregarBytes(salida, Vista(pendiente));
        salida += "\r\n\r\n\r\n";
    }
    if (!salida.empty()) {
        destino(salida);
    }
}

}  // namespace

void componerLista(const std::vector<std::u16string>& lineas,
                   const std::function<void(std::string_view)>& destino) {
    componer<char16_t>(lineas, destino);
}

void componerListaUtf8(std::span<const std::string_view> lineas,
                       const std::function<void(std::string_view)>& destino) {
    componer<char>(lineas, destino);
}

std::string componerLista(const std::vector<std::u16string>& lineas) {
    std::string todo;
    componerLista(lineas, [&](std::string_view trozo) { todo.append(trozo); });
    return todo;
}

Desenlace EtapaResultado::informarFallo(Puerto& puerto, const archivos::Fallo& fallo) {
    puerto.mensaje(mensajeFallo(u"No se pudo crear el archivo:", ruta_, fallo.motivo),
                   Estilo::Critico, kTitulo);
    return Desenlace::FalloArchivo;
}

bool EtapaResultado::preparar(Puerto& puerto) {
    ruta_ = rutaResultado(puerto.carpetaResultado(), puerto.hoy());
    if (const auto fallo = escritor_.abrir(ruta_)) {
        informarFallo(puerto, fallo);
        return false;
    }
    return true;
}

Desenlace EtapaResultado::terminar(const Estado& estado, Puerto& puerto,
                                   std::u16string_view cierre) {
    componerLista(estado.lineas, [&](std::string_view trozo) { escritor_.escribir(trozo); });
    return anunciar(puerto, cierre);
}

void EtapaResultado::escribir(std::span<const std::string_view> lineasUtf8) {
    componerListaUtf8(lineasUtf8, [&](std::string_view trozo) { escritor_.escribir(trozo); });
}

Desenlace EtapaResultado::anunciar(Puerto& puerto, std::u16string_view cierre) {
    if (const auto fallo = escritor_.confirmar()) {
        return informarFallo(puerto, fallo);
    }
    std::u16string aviso = u"Se ha creado el archivo:\r\n";
    aviso += ruta_;
    aviso += u"\r\n\r\n";
    aviso += cierre;
    puerto.mensaje(aviso, Estilo::Informacion, kTitulo);
    puerto.abrirArchivo(ruta_);
    puerto.ponerTextoRuta(u"");
    return Desenlace::Escrito;
}

}  // namespace tralmix
