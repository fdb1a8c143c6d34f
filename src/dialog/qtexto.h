#pragma once

// The engine's UTF-16 text as Qt holds it, for the Qt front ends.

#include <QString>

#include <string_view>

namespace tralmix {

inline QString qtexto(std::u16string_view texto) {
    return QString::fromUtf16(texto.data(), static_cast<qsizetype>(texto.size()));
}

}  // namespace tralmix
