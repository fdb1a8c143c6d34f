#include "extract/mensajes.h"

#include "util/cadenas.h"

namespace tralmix {

std::u16string_view nombreFase(Fase fase) {
    switch (fase) {
        case Fase::Limpieza:
            return u"Limpiando";
        case Fase::Carga:
            return u"Cargando";
        case Fase::Extraccion:
            return u"Extrayendo direcciones";
        case Fase::Orden:
            return u"Ordenando";
        case Fase::Escritura:
            return u"Escribiendo la lista";
    }
    return {};
}

void Progreso::empezar(std::u16string_view ruta) {
    // A backslash ends a folder only where the system writes it so.
    const auto barra = ruta.find_last_of(kSeparador == u'/' ? u"/" : u"\\/");
    archivo = barra == std::u16string_view::npos ? ruta : ruta.substr(barra + 1);
    fase.reset();
    milesimas.reset();
    cancelando = false;
}

void Progreso::avanzar(Fase nueva, std::uint64_t hecho, std::uint64_t total) {
    fase = nueva;
    milesimas = tralmix::milesimas(hecho, total);
}

std::u16string Progreso::estado() const {
    if (cancelando) {
        return u"Cancelando...";
    }
    return fase ? std::u16string(nombreFase(*fase)) + u"..." : u"Procesando...";
}

std::u16string Progreso::texto(bool conCifra) const {
    std::u16string t = u"Archivo: " + archivo + u"\r\n" + estado();
    if (conCifra && milesimas && !cancelando) {
        t += u" " + textoPorcentaje(*milesimas);
    }
    return t;
}

std::u16string textoPorcentaje(int milesimas) {
    std::u16string t;
    for (const char c : std::to_string(milesimas / 10)) {
        t += static_cast<char16_t>(c);
    }
    return t + u" %";
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

}  // namespace tralmix
