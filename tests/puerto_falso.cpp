#include "puerto_falso.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "util/archivos.h"
#include "util/texto.h"

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
    const auto destino = ruta_ / nombre;
    std::ofstream salida(destino, std::ios::binary);
    salida.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!salida) {
        throw std::runtime_error("cannot write " + destino.string());
    }
    return destino;
}

std::string leer(const std::filesystem::path& ruta) {
    std::ifstream entrada(ruta, std::ios::binary);
    std::ostringstream todo;
    todo << entrada.rdbuf();
    return todo.str();
}

std::string visible(std::string_view bytes) {
    std::string v;
    for (const char c : bytes) {
        if (c == '\r') {
            v += "\\r";
        } else if (c == '\n') {
            v += "\\n";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            v += "\\x" + std::string(1, "0123456789ABCDEF"[(c >> 4) & 15]) +
                 "0123456789ABCDEF"[c & 15];
        } else {
            v += c;
        }
    }
    return v;
}

std::u16string u16(std::string_view utf8) {
    return texto::desdeUtf8OReemplazo(utf8);
}

std::string u8(std::u16string_view t) {
    return texto::aUtf8(t);
}

}  // namespace tralmix::prueba
