#include "extract/cubo.h"

#include <algorithm>
#include <functional>

namespace tralmix {

bool Cubo(std::vector<std::u16string>& Matriz, bool Ascendente) {
    if (Matriz.empty()) {
        return false;
    }
    // std::u16string compares by char16_t values: code-unit order, no locale, no case folding.
    if (Ascendente) {
        std::sort(Matriz.begin(), Matriz.end());
    } else {
        std::sort(Matriz.begin(), Matriz.end(), std::greater<>());
    }
    return true;
}

}  // namespace tralmix
