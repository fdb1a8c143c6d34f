#pragma once

// Internationalised domain labels: the platform's own IDNA conversion (ICU's UTS #46 on Linux,
// IdnToAscii on Windows, the URL parser in the browser) and a Punycode decoder of ours, so that a
// label written in its "xn--" form is judged alike everywhere: neither Windows nor the browser
// checks what such a label decodes to.
//
// Where the platforms still differ (measured with Wine 8; the label as written is kept, so only
// the verdict can differ):
// - Windows follows IDNA2003: it maps "ß" to "ss", so "xn--strae-oqa" (straße written in its
//   ASCII form) does not come back from its decoded form and is refused there, while "straße"
//   itself is kept everywhere; it does not check the bidirectional rule, so it keeps "aא",
//   which Linux and the browser refuse; and it refuses "ab--ñ" (hyphens third and fourth),
//   which the others keep;
// - what each platform's Unicode version leaves unassigned is refused there.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tralmix::idn {

// The longest label DNS takes, in its ASCII form.
inline constexpr std::size_t kMaxEtiqueta = 63;

// The ASCII form of one label (UTF-8, no dots) that holds more than ASCII, lower-cased: what the
// platform's ToASCII gives, or nothing when it refuses the label. Leading and trailing hyphens,
// lengths and the letters of the result are the caller's to check.
std::optional<std::string> etiquetaAAscii(std::string_view etiqueta);

// Decodes Punycode (RFC 3492: what follows "xn--", letters in either case) into salida; the
// number of code points, or nothing when the text is not valid Punycode, gives a code point
// that is a surrogate or beyond U+10FFFF, or does not fit in salida.
std::optional<std::size_t> decodificarPunycode(std::string_view codigo, std::span<char32_t> salida);

// Whether an ASCII label "xn--…" is the platform's own ASCII form of what it decodes to: valid
// Punycode, something beyond ASCII in it, no hyphen at either end of the decoded label, and
// etiquetaAAscii of the decoded label giving the label back (in any letter case).
bool esEtiquetaAceValida(std::string_view etiqueta);

}  // namespace tralmix::idn
