#include "util/archivos.h"

#include <algorithm>

namespace tralmix::archivos {

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
