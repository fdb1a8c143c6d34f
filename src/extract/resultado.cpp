#include "extract/resultado.h"

#include "util/texto.h"

namespace tralmix {
namespace {

constexpr std::size_t kAddressesPorGrupo = 48;
constexpr std::size_t kTamanoTrozo = 1 << 20;

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

void componerLista(const std::vector<std::u16string>& lineas,
                   const std::function<void(std::string_view)>& destino) {
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
    // The rest of a group is kept apart until the group closes: the end may still be cut.
    std::u16string pendiente;
    for (std::size_t i = 0; i < n; ++i) {
        const std::u16string_view t = texto::recortar(lineas[i]);
        if (t.empty()) {
            continue;
        }
        if (contador == 1) {
            texto::agregarUtf8(salida, t);
            salida += "\r\n\r\n";
            ++contador;
        } else if (contador >= kAddressesPorGrupo) {
            pendiente += lineas[i];
            texto::agregarUtf8(salida, pendiente);
            salida += "\r\n\r\n\r\n";
            contador = 1;
            pendiente.clear();
        } else {
            pendiente += lineas[i];
            if (i != n - 1) {
                pendiente += u", ";
            }
            ++contador;
        }
        vaciarSiLleno();
    }
    if (!pendiente.empty()) {
        if (pendiente.back() == u' ') {
            pendiente.pop_back();
        }
        if (!pendiente.empty() && pendiente.back() == u',') {
            pendiente.pop_back();
        }
        texto::agregarUtf8(salida, pendiente);
        salida += "\r\n\r\n\r\n";
    }
    if (!salida.empty()) {
        destino(salida);
    }
}

std::string componerLista(const std::vector<std::u16string>& lineas) {
    std::string todo;
    componerLista(lineas, [&](std::string_view trozo) { todo.append(trozo); });
    return todo;
}

std::u16string mensajeFallo(std::u16string_view accion, std::u16string_view ruta,
                            std::u16string_view motivo) {
    std::u16string texto(accion);
    texto += u"\r\n";
    texto += ruta;
    texto += u"\r\n\r\nMotivo: ";
    texto += motivo;
    return texto;
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
