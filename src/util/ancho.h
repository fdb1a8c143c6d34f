#pragma once

// Text as the system's wide interfaces take and give it: UTF-16 in wchar_t, which is 16 bits
// on Windows, so the code units pass unchanged.

#include <string>
#include <string_view>

namespace tralmix {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 only on Windows");

inline std::wstring ancho(std::u16string_view texto) {
    return std::wstring(texto.begin(), texto.end());
}

inline std::u16string deAncho(std::wstring_view texto) {
    return std::u16string(texto.begin(), texto.end());
}

}  // namespace tralmix
