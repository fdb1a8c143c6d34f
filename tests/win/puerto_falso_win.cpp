// The test helpers of puerto_falso.h on Windows: wide paths only, a folder made with a unique
// name under the system's temporary folder.

#include <windows.h>

#include <fstream>
#include <random>
#include <stdexcept>

#include "puerto_falso.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace tralmix::prueba {

CarpetaTemporal::CarpetaTemporal() {
    std::random_device azar;
    for (int intento = 0; intento < 100; ++intento) {
        const auto candidata =
            std::filesystem::temp_directory_path() / (L"tralmix-test-" + std::to_wstring(azar()));
        if (::CreateDirectoryW(candidata.c_str(), nullptr)) {
            ruta_ = candidata;
            return;
        }
    }
    throw std::runtime_error("CreateDirectoryW failed");
}

CarpetaTemporal::~CarpetaTemporal() {
    std::error_code error;
    std::filesystem::remove_all(ruta_, error);
}

std::u16string CarpetaTemporal::u16() const {
    return archivos::desdeRuta(ruta_);
}

std::filesystem::path CarpetaTemporal::escribir(const std::string& nombre,
                                                std::string_view bytes) const {
    // Names are UTF-8 here: a narrow path would be read as Latin-1.
    const auto destino = ruta_ / archivos::aRuta(texto::desdeUtf8OReemplazo(nombre));
    std::ofstream salida(destino, std::ios::binary);
    salida.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!salida) {
        throw std::runtime_error("cannot write " + nombre);
    }
    return destino;
}

}  // namespace tralmix::prueba
