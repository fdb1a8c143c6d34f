#include "extract/disposicion.h"

#include "extract/estado.h"
#include "util/texto.h"

namespace tralmix {

std::optional<std::size_t> leerPorGrupo(std::string_view t) {
    if (t.empty() || t.size() > 4) {
        return std::nullopt;
    }
    std::size_t n = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (n < 1 || n > kPorGrupoMaximo) {
        return std::nullopt;
    }
    return n;
}

std::optional<std::string> leerSeparador(std::string_view t, std::string& motivo) {
    if (t.empty()) {
        motivo = "está vacío";
        return std::nullopt;
    }
    if (!texto::esUtf8(t)) {
        motivo = "no es texto UTF-8";
        return std::nullopt;
    }
    if (t.size() > kSeparadorMaximo) {
        motivo = "tiene más de " + std::to_string(kSeparadorMaximo) + " bytes";
        return std::nullopt;
    }
    for (const char c : t) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            motivo = "no puede tener saltos de línea ni caracteres de control";
            return std::nullopt;
        }
    }
    return std::string(t);
}

}  // namespace tralmix
