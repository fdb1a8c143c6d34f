// Domain labels on ICU: UTS #46 non-transitional processing (as the browsers' URL parser does),
// with the bidirectional and joiner rules.

#include <unicode/uidna.h>

#include <array>
#include <cstdint>
#include <limits>

#include "util/idn.h"

namespace tralmix::idn {
namespace {

// Checked by the caller on the whole domain, or allowed there ("ab--cd"), so that a label is
// judged by the same rules on every platform.
constexpr std::uint32_t kErroresDelLlamador =
    UIDNA_ERROR_HYPHEN_3_4 | UIDNA_ERROR_LABEL_TOO_LONG | UIDNA_ERROR_DOMAIN_NAME_TOO_LONG;

// Opened once: an IDNA object is immutable and may be used from any thread.
const UIDNA* uts46() {
    static const UIDNA* const instancia = [] {
        UErrorCode error = U_ZERO_ERROR;
        const UIDNA* u = uidna_openUTS46(UIDNA_USE_STD3_RULES | UIDNA_CHECK_BIDI |
                                             UIDNA_CHECK_CONTEXTJ | UIDNA_NONTRANSITIONAL_TO_ASCII,
                                         &error);
        return U_SUCCESS(error) ? u : nullptr;
    }();
    return instancia;
}

}  // namespace

std::optional<std::string> etiquetaAAscii(std::string_view etiqueta) {
    const UIDNA* u = uts46();
    if (u == nullptr || etiqueta.size() > static_cast<std::size_t>(INT32_MAX)) {
        return std::nullopt;
    }
    // Longer results are no DNS label anyway.
    std::array<char, 256> buffer{};
    UIDNAInfo info = UIDNA_INFO_INITIALIZER;
    UErrorCode error = U_ZERO_ERROR;
    const std::int32_t n = uidna_labelToASCII_UTF8(
        u, etiqueta.data(), static_cast<std::int32_t>(etiqueta.size()), buffer.data(),
        static_cast<std::int32_t>(buffer.size()), &info, &error);
    if (U_FAILURE(error) || (info.errors & ~kErroresDelLlamador) != 0 || n <= 0 ||
        static_cast<std::size_t>(n) > buffer.size()) {
        return std::nullopt;
    }
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

}  // namespace tralmix::idn
