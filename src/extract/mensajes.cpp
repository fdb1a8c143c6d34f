#include "extract/mensajes.h"

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

std::u16string mensajeApertura(std::u16string_view destino) {
    std::u16string texto(kNoSeAbrio);
    texto += u"\r\n";
    texto += destino;
    return texto;
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
