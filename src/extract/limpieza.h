#pragma once

#include <string>
#include <string_view>

namespace tralmix {

// Cleans one input line: removes the markup of a contact-list export and deletes or blanks the
// punctuation that cannot belong to an address. Neither trims nor lower-cases.
std::u16string limpieza(std::u16string qLimpiar);

}  // namespace tralmix
