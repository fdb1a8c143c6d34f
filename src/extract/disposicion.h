#pragma once

// The list's layout settings as a user writes them (the command's options, the windows' dialog):
// read and judged in one place, so every front end takes and refuses the same values.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tralmix {

// The two settings as the windows keep them between starts.
struct OpcionesLista {
    std::size_t porGrupo;
    std::string separador;  // UTF-8
};

// A group size, 1 to kPorGrupoMaximo, in decimal digits only.
std::optional<std::size_t> leerPorGrupo(std::string_view texto);
// A separator: UTF-8, 1 to kSeparadorMaximo bytes, no line end or other control character (the
// list's lines would break). motivo says, in Spanish, why a text is refused.
std::optional<std::string> leerSeparador(std::string_view texto, std::string& motivo);

}  // namespace tralmix
