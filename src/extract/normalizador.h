#pragma once

#include <string>

namespace tralmix {

// The bulk path's table on one line of the message text, lower-cased and ended by one space
// where the text has its CR LF; the line holds no other CR or LF. Rows "," and ";" are left to
// the word scan, which cuts at them as at a space.
void normalizarLinea(std::string& t);

}  // namespace tralmix
