#include "extract/fin.h"

#include <cerrno>
#include <new>
#include <stdexcept>

#include "extract/mensajes.h"
#include "util/texto.h"

namespace tralmix {

Fallo falloDeExcepcion() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return {ENOMEM, std::u16string(kSinMemoria)};
    } catch (const std::length_error&) {
        return {EFBIG, std::u16string(kDemasiadoGrande)};
    } catch (const texto::FalloConversion&) {
        return {EILSEQ, std::u16string(kSinConversion)};
    } catch (const std::exception& e) {
        return Fallo::propio(texto::desdeUtf8OReemplazo(e.what()));
    } catch (...) {
        return Fallo::propio(u"error desconocido");
    }
}

Desenlace informar(Puerto& puerto, const Fin& fin) {
    const Fallo& f = fin.fallo;
    if (f && !f.interrumpido()) {
        puerto.mensaje(mensajeFallo(f.accion.empty() ? kNoSeProceso : f.accion, f.ruta, f.motivo),
                       Estilo::Critico, kTitulo);
    }
    return fin.desenlace;
}

Desenlace informarExcepcion(Estado& estado, Puerto& puerto) noexcept {
    try {
        Fallo fallo = falloDeExcepcion();
        estado.lineas.clear();
        return informar(puerto, std::move(fallo).en(kNoSeProceso, estado.archivoEntrada));
    } catch (...) {
        return Desenlace::FalloArchivo;
    }
}

}  // namespace tralmix
