#pragma once

// Whether a mail program can send to an address: the judge of the clean-up and of the warnings.

#include <cstddef>
#include <optional>
#include <string_view>

#include "util/recuerdos.h"

namespace tralmix {

// The longest address a mail program takes, in bytes.
inline constexpr std::size_t kMaxDireccion = 254;

// Whether a mail program can send to the address as it stands (UTF-8, letters in any case):
// - one "@";
// - a local part of 1 to 64 bytes of letters, digits, !#$%&'*+-/=?^_`{|}~ and dots (none
//   first, last or next to another), or letters beyond ASCII;
// - a domain of two labels or more, each of letters, digits and hyphens (none first or last),
//   at most 63 bytes; a label beyond ASCII counts by the ASCII form the platform's IDNA gives
//   it, which must be such a label and no number; a label written "xn--…" must be the ASCII form
//   of what it decodes to; the last label two letters or more, or "xn--…";
// - at most 253 bytes of domain and 254 in all, both as written and in the ASCII form.
// Nothing that shows as blank or invisible (white space, joiners, direction marks, U+FEFF,
// U+FFFD…) counts as a letter. So no IP literals, no "foo@bar", no quoted local parts.
bool esEnviable(std::string_view direccion);

// esEnviable for the many addresses of a list: the domains met last are remembered with their
// judgement, so that most addresses cost their local part, a hash and a comparison.
class JuezEnviable {
  public:
    bool enviable(std::string_view direccion);

  private:
    Recuerdos<std::optional<std::size_t>> dominios_;
};

}  // namespace tralmix
