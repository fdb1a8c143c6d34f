#include "util/archivos.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "util/archivos_sistema.h"
#include "util/texto.h"

namespace tralmix::archivos {

using sistema::Comun;

Fallo sistema::fallo(Comun que) {
    const int error = codigo(que);
    return Fallo{error, que == Comun::SinNombreLibre ? u"no se pudo elegir un nombre temporal libre"
                                                     : motivo(error)};
}

std::u16string motivo(int error) {
    if (error == 0) {
        return {};
    }
    for (const sistema::Razon& r : sistema::razones()) {
        if (std::find(std::begin(r.errores), std::end(r.errores), error) != std::end(r.errores)) {
            return std::u16string(r.texto);
        }
    }
    return u"error del sistema número " + texto::desdeUtf8OReemplazo(std::to_string(error));
}

bool esArchivo(std::u16string_view ruta) {
    sistema::Info info;
    return rutaUsable(ruta) && !sistema::info(ruta, false, info) && !info.carpeta;
}

Huella huella(std::u16string_view ruta) {
    sistema::Info info;
    if (!rutaUsable(ruta) || sistema::info(ruta, false, info)) {
        return {};
    }
    return info.huella;
}

Identidad identidad(std::u16string_view ruta) {
    return huella(ruta).identidad;
}

// ---- Lector ----

Lector::~Lector() {
    sistema::cerrar(manejador_);
}

Fallo Lector::abrir(std::u16string_view ruta, bool sinEnlace, std::uint64_t maximo) {
    sistema::cerrar(manejador_);
    maximo_ = maximo;
    huella_ = {};
    leidos_ = 0;
    if (!rutaUsable(ruta)) {
        return sistema::fallo(ruta.empty() ? Comun::NoExiste : Comun::RutaNoValida);
    }
    sistema::Info info;
    if (auto f = sistema::abrirLectura(ruta, sinEnlace, manejador_, info)) {
        return f;
    }
    // A file beyond what the text conversions take (and far beyond any list) is refused before
    // anything is read.
    if (info.huella.tamano > maximo_) {
        sistema::cerrar(manejador_);
        return sistema::fallo(Comun::Grande);
    }
    huella_ = info.huella;
    return {};
}

Fallo Lector::leer(char* destino, std::size_t n, std::size_t& leidos) {
    leidos = 0;
    if (manejador_ == sistema::kNinguno) {
        return sistema::fallo(Comun::NoAbierto);
    }
    if (auto f = sistema::leer(manejador_, destino, n, leidos)) {
        return f;
    }
    leidos_ += leidos;
    // A file that keeps growing while it is read is stopped, not followed without end.
    return leidos_ > maximo_ ? sistema::fallo(Comun::Grande) : Fallo{};
}

Fallo Lector::irA(std::uint64_t posicion) {
    if (manejador_ == sistema::kNinguno) {
        return sistema::fallo(Comun::NoAbierto);
    }
    if (posicion > maximo_) {
        return sistema::fallo(Comun::Grande);
    }
    if (auto f = sistema::irA(manejador_, posicion)) {
        return f;
    }
    leidos_ = posicion;
    return {};
}

Fallo leerTodo(std::u16string_view ruta, std::string& contenido) {
    Lector lector;
    if (auto fallo = lector.abrir(ruta)) {
        return fallo;
    }
    return leerResto(lector, contenido);
}

Fallo leerResto(Lector& lector, std::string& contenido) {
    // One byte beyond the stated size, so that the end shows without growing the buffer.
    std::string bytes(static_cast<std::size_t>(lector.tamano()) + 1, '\0');
    std::size_t total = 0;
    for (;;) {
        if (total == bytes.size()) {
            bytes.resize(bytes.size() + std::max<std::size_t>(65536, bytes.size() / 2));
        }
        std::size_t leidos = 0;
        if (auto fallo = lector.leer(bytes.data() + total, bytes.size() - total, leidos)) {
            return fallo;
        }
        if (leidos == 0) {
            break;
        }
        total += leidos;
    }
    bytes.resize(total);
    contenido = std::move(bytes);
    return {};
}

}  // namespace tralmix::archivos
