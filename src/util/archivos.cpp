#include "util/archivos.h"

#include <algorithm>

namespace tralmix::archivos {

bool esOcultoDeEscritor(std::u16string_view nombre, std::u16string_view nombreDestino) {
    constexpr std::size_t kSufijo = 8;
    if (nombre.size() != nombreDestino.size() + kSufijo + 2 || nombre.front() != u'.' ||
        nombre[nombreDestino.size() + 1] != u'.') {
        return false;
    }
    auto digito = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    for (std::size_t i = 0; i < nombreDestino.size(); ++i) {
        const char16_t c = nombre[i + 1];
        if (digito(nombreDestino[i]) ? !digito(c) : c != nombreDestino[i]) {
            return false;
        }
    }
    return std::all_of(nombre.end() - kSufijo, nombre.end(),
                       [&](char16_t c) { return digito(c) || (c >= u'a' && c <= u'z'); });
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
