// The system around the engine in a browser: a worker's memory file system, with no home, no
// program folder and no desktop. The page's worker lays out /entrada (the chosen file) and
// /salida (the list) and hands the list to the page itself.

#include "util/entorno.h"

namespace tralmix::entorno {

std::u16string carpetaPersonal() {
    return u"/salida";
}

std::u16string carpetaTemporal() {
    return u"/tmp";
}

std::u16string carpetaPrograma() {
    return u"/";
}

// A page has no desktop to hand a file to: the list goes back to the page, which offers it.
std::u16string abrir(std::u16string_view, std::chrono::milliseconds) {
    return u"en el navegador no hay un escritorio que lo abra";
}

}  // namespace tralmix::entorno
