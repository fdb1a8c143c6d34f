#pragma once

// Warnings on the addresses of a list, never changes: a suggestion is often wrong (a regional
// or a small company's domain can sit one letter away from a big provider's), so the person
// decides.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/recuerdos.h"

namespace tralmix {

enum class Motivo {
    DominioParecido,  // the domain looks like a mistyped provider's or top-level domain
    Rol,              // a role account (info@, noreply@…): read by nobody in particular
};

// The reason as the report names it: "dominio-parecido", "rol".
std::string_view nombreMotivo(Motivo motivo);

struct Aviso {
    std::string direccion;
    Motivo motivo = Motivo::DominioParecido;
    std::string sugerencia;  // the likely domain; empty for a role account

    bool operator==(const Aviso&) const = default;
};

// The domain a mistyped one (ASCII, letters in any case) most likely meant, lower-cased, or
// nothing. Only these are taken for mistakes:
// - a top-level domain that is no top-level domain but "com" mistyped (.con, .cmo, .ocm, .cpm,
//   .xom, .vom, .comm, .coom; also before .mx and .ar): the domain with "com", or the provider's
//   domain when that is a near miss of one;
// - a near miss of a common provider's name (gmail, hotmail, outlook, live, yahoo, icloud)
//   before one of that provider's own endings (.com, .es, .com.mx, .com.ar as it has them):
//   one edit (a letter left out, added, changed, or two swapped) for the five-letter and
//   six-letter names, two for the seven-letter ones, none for "live"; a tie between two
//   providers suggests nothing.
// A provider's own domain, an ending it does not have (hotmail.cl, live.es, gmail.co: often
// regional domains), and the real domains next to the providers' (ymail.com, mail.com…) are
// never taken for mistakes.
std::optional<std::string> dominioSugerido(std::string_view dominio);

// Whether a local part (letters in any case) names a role rather than a person.
bool esCuentaDeRol(std::string_view local);

// Appends the warnings one address deserves (split at its last "@"): a domain that looks
// mistyped, then a role account. Most addresses get none, and then nothing is allocated.
void avisar(std::string_view direccion, std::vector<Aviso>& avisos);

// avisar for the many addresses of a list: what the domains met last were judged is kept, so
// that a list's common domains are judged once each, and most addresses cost a hash and a
// comparison.
class Avisador {
  public:
    void avisar(std::string_view direccion, std::vector<Aviso>& avisos);

  private:
    Recuerdos<std::optional<std::string>> sugerencias_;
};

}  // namespace tralmix
