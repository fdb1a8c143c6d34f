// The test helpers' temporary folders on POSIX systems (puerto_falso_win.cpp on Windows).

#include "puerto_falso.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "util/archivos.h"

namespace tralmix::prueba {

CarpetaTemporal::CarpetaTemporal() {
    std::string plantilla =
        (std::filesystem::temp_directory_path() / "tralmix-test-XXXXXX").string();
    if (::mkdtemp(plantilla.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    ruta_ = plantilla;
}

CarpetaTemporal::~CarpetaTemporal() {
    std::error_code error;
    std::filesystem::permissions(ruta_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(ruta_, error);
}

std::u16string CarpetaTemporal::u16() const {
    return archivos::desdeRuta(ruta_);
}

std::filesystem::path CarpetaTemporal::escribir(const std::string& nombre,
                                                std::string_view bytes) const {
    auto destino = ruta_ / nombre;
    std::ofstream salida(destino, std::ios::binary);
    salida.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!salida) {
        throw std::runtime_error("cannot write " + destino.string());
    }
    return destino;
}

}  // namespace tralmix::prueba
