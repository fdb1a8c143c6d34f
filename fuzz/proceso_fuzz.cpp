// A whole processing run on an input file holding the fuzzer's bytes, through a fake window.
// Whatever the bytes, the run ends with a list or its own refusal, and the list is well formed.

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "comun.h"
#include "extract/formatos/formatos.h"
#include "extract/proceso.h"
#include "puerto_falso.h"
#include "referencia/literal.h"
#include "util/archivos.h"
#include "util/texto.h"

using namespace tralmix;

namespace {

// Every line break is CR LF: no lone CR, no lone LF.
bool soloCrLf(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n')) {
            return false;
        }
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) {
            return false;
        }
    }
    return true;
}

std::vector<std::string_view> partirCrLf(std::string_view s) {
    std::vector<std::string_view> lineas;
    std::size_t desde = 0;
    for (std::size_t p = s.find("\r\n"); p != std::string_view::npos; p = s.find("\r\n", desde)) {
        lineas.push_back(s.substr(desde, p - desde));
        desde = p + 2;
    }
    fuzz::exigir(desde == s.size(), "the list ends with CR LF");
    return lineas;
}

// Checks the groups: an opening address, a blank line, then at most 47 more joined by ", " and
// two blank lines; every group but the last holds 48. Returns the number of addresses.
std::size_t revisarGrupos(std::string_view lista, bool sinEspacios) {
    const auto lineas = partirCrLf(lista);
    std::size_t total = 0;
    std::size_t i = 0;
    bool ultimoCompleto = true;
    auto revisarDireccion = [&](std::string_view d) {
        fuzz::exigir(d.find('@') != std::string_view::npos, "every listed address holds an @");
        fuzz::exigir(!sinEspacios || d.find(' ') == std::string_view::npos,
                     "a bulk address holds no space");
    };
    while (i < lineas.size()) {
        fuzz::exigir(ultimoCompleto, "only the last group is short");
        fuzz::exigir(!lineas[i].empty(), "a group opens with an address");
        revisarDireccion(lineas[i]);
        fuzz::exigir(i + 1 < lineas.size() && lineas[i + 1].empty(), "a blank line follows");
        std::size_t grupo = 1;
        i += 2;
        if (i < lineas.size()) {
            const std::string_view unidas = lineas[i];
            fuzz::exigir(!unidas.empty(), "the rest of a group is one line");
            std::size_t desde = 0;
            for (std::size_t p = unidas.find(", "); p != std::string_view::npos;
                 p = unidas.find(", ", desde)) {
                revisarDireccion(unidas.substr(desde, p - desde));
                ++grupo;
                desde = p + 2;
            }
            revisarDireccion(unidas.substr(desde));
            ++grupo;
            fuzz::exigir(i + 2 < lineas.size() && lineas[i + 1].empty() && lineas[i + 2].empty(),
                         "two blank lines close a group");
            i += 3;
        }
        fuzz::exigir(grupo <= 48, "a group holds at most 48 addresses");
        ultimoCompleto = grupo == 48;
        total += grupo;
    }
    return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t n) {
    const std::string_view bytes(reinterpret_cast<const char*>(datos), n);
    prueba::CarpetaTemporal entrada;
    prueba::CarpetaTemporal temporal;
    prueba::CarpetaTemporal resultado;
    const auto ruta = entrada.escribir("Entrada.txt", bytes);

    prueba::PuertoFalso puerto;
    puerto.temporal = temporal.u16();
    puerto.resultado = resultado.u16();
    puerto.respuesta = {true, archivos::desdeRuta(ruta)};
    Estado estado;
    puerto.preparar(estado);
    const Desenlace d = cmd_file01_Click(estado, puerto);

    fuzz::exigir(prueba::leer(ruta) == bytes, "the input is never touched");
    // Bytes no text holds (NUL in a file without a UTF-16 or UTF-32 form, a zip's or a PDF's
    // start): refused before any reading, for what the file seems to be.
    if (formatos::elegir(archivos::desdeRuta(ruta)).binario != formatos::Binario::No) {
        fuzz::exigir(d == Desenlace::Rechazado, "a binary file is refused");
        fuzz::exigir(
            puerto.mensajes.size() == 1 && puerto.mensajes[0].estilo == Estilo::Exclamacion,
            "its refusal says why");
        fuzz::exigir(std::filesystem::is_empty(temporal.ruta()) &&
                         std::filesystem::is_empty(resultado.ruta()),
                     "a binary file leaves no working file and no list");
        return 0;
    }
    fuzz::exigir(std::filesystem::exists(temporal.ruta() / "entrada.txt"),
                 "the working file stays");
    fuzz::exigir(puerto.mensajes.size() == 1, "a run shows exactly one message");
    const auto lista = resultado.ruta() / "Mails_20050305.txt";
    std::size_t archivos = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(resultado.ruta())) {
        ++archivos;
    }
    const literal::Corrida esperada = literal::correr(bytes);
    fuzz::exigir(prueba::leer(temporal.ruta() / "entrada.txt") == esperada.trabajo,
                 "the working file holds the cleaned lines");
    if (esperada.vacio || esperada.lista.empty()) {
        fuzz::exigir(d == Desenlace::Rechazado, "a file without lines or addresses is refused");
        fuzz::exigir(archivos == 0, "a refused run writes no list");
        fuzz::exigir(puerto.abiertos.empty(), "nothing is opened");
        return 0;
    }
    fuzz::exigir(d == Desenlace::Escrito, "the run writes a list or refuses the input");
    fuzz::exigir(archivos == 1, "only the list is left in its folder");
    fuzz::exigir(puerto.mensajes[0].estilo == Estilo::Informacion, "success is announced");
    fuzz::exigir(puerto.abiertos.size() == 1 && puerto.caja.empty(), "the list is opened");
    fuzz::exigir(literal::comoLineas(estado.lineas) == esperada.lineas,
                 "the run's list is the literal one");

    const std::string escrita = prueba::leer(lista);
    fuzz::exigir(escrita == esperada.lista, "the file holds the literal list");
    fuzz::exigir(fuzz::utf8Valido(escrita), "the list is valid UTF-8");
    fuzz::exigir(soloCrLf(escrita), "every line ends with CR LF");
    std::size_t direcciones = 0;
    for (std::size_t i = 0; i < estado.lineas.size(); ++i) {
        const std::string_view e = estado.lineas[i];
        direcciones += e.find_first_not_of(' ') == std::string_view::npos ? 0 : 1;
    }
    fuzz::exigir(revisarGrupos(escrita, esperada.masivo) == direcciones,
                 "every address is listed once");
    return 0;
}
