#pragma once

#include <array>
#include <span>

#include "extract/limpieza.h"

namespace tralmix {

// The table that rewrites the lower-cased message text of the bulk path, in the order it is
// applied. Row 19 ("add") is cut only where it ends a word, so that names like maddie@… keep
// their letters.
inline constexpr std::array<FilaTabla, 38> kTablaMasivo{{
    {".html", ""},    {".htm", ""},        {"de:", " "},       {"from:", " "},
    {"asunto:", " "}, {"subject:", " "},   {"a:", " "},        {"to:", " "},
    {"fecha:", " "},  {"date:", " "},      {"enviado:", " "},  {"fw:", " "},
    {"cc:", " "},     {"cco:", " "},       {"<", " "},         {">", " "},
    {"\"", " "},      {":", " "},          {"add", " "},       {"sender to contacts", " "},
    {",", " "},       {";", " "},          {"\r\n", " "},      {".......", " "},
    {"......", " "},  {".....", " "},      {"....", " "},      {"...", " "},
    {"..", " "},      {"----------", " "}, {"---------", " "}, {"--------", " "},
    {"-------", " "}, {"------", " "},     {"-----", " "},     {"----", " "},
    {"---", " "},     {"--", " "},
}};

inline std::span<const FilaTabla> tablaMasivo() {
    return kTablaMasivo;
}

}  // namespace tralmix
