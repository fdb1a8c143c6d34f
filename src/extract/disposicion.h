#pragma once

// The list's layout settings as a user writes them (the command's options, the windows' dialog,
// the page's module): read and judged in one place, and refused in the same words, so every
// front end takes and refuses the same values.

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

// A value as read: the value, or the refusal as every front end shows it, in Spanish
// ("separador no válido: …"), lower-case first as a message after the program's name.
template <typename T>
struct Lectura {
    std::optional<T> valor;
    std::string error;  // UTF-8; empty when valor holds the value
};

// A group size, 1 to kPorGrupoMaximo, in decimal digits only.
Lectura<std::size_t> leerPorGrupo(std::string_view texto);
// A separator: 1 to kSeparadorMaximo bytes of UTF-8, and no character a mail program could not
// split a line on or that would break, hide or join the list's addresses: no control, format,
// line-separator, invisible or bidirectional character, no "@", no letter, digit or combining
// mark (texto::clase). The UTF-16 form (what the windows' boxes and the page hold) also refuses
// an unpaired surrogate, which would otherwise become U+FFFD on the way to UTF-8.
Lectura<std::string> leerSeparador(std::string_view utf8);
Lectura<std::string> leerSeparador(std::u16string_view texto);

// An error as a dialog shows it: a capital first and a full stop.
std::string comoAviso(std::string_view error);

}  // namespace tralmix
