// tralmix-cli: one processing run on INPUT, without a window.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "cli/puerto_consola.h"
#include "extract/estado.h"
#include "extract/proceso.h"
#include "util/archivos.h"
#include "util/texto.h"

namespace {

constexpr int kEscrito = 0;
constexpr int kRechazado = 1;
constexpr int kUso = 2;
constexpr int kFalloArchivo = 3;

constexpr std::string_view kUsoTexto =
    "Uso: tralmix-cli [--output-dir CARPETA] [--temp-dir CARPETA] [--date AAAA-MM-DD] [--open] "
    "ENTRADA\n"
    "     tralmix-cli --help | --version\n"
    "\n"
    "Crea la lista de correos de ENTRADA (lista de direcciones, correos pegados o contactos\n"
    ".ctt) en CARPETA/Mails_AAAAMMDD.txt, en grupos de 48, e imprime su ruta.\n"
    "\n"
    "  --output-dir CARPETA  carpeta de la lista (por omisión, la carpeta personal)\n"
    "  --temp-dir CARPETA    carpeta del archivo de trabajo (por omisión, TMPDIR o /tmp)\n"
    "  --date AAAA-MM-DD     fecha del nombre de la lista (por omisión, hoy)\n"
    "  --open                abre la lista con el programa predeterminado del escritorio\n"
    "\n"
    "Estado de salida: 0 lista creada, 1 entrada rechazada, 2 error de uso,\n"
    "3 fallo al leer o escribir un archivo.\n";

int errorDeUso(const std::string& texto) {
    std::fprintf(stderr, "tralmix-cli: %s\n\n%.*s", texto.c_str(),
                 static_cast<int>(kUsoTexto.size()), kUsoTexto.data());
    return kUso;
}

std::u16string absoluta(std::string_view ruta) {
    std::error_code error;
    auto camino = std::filesystem::absolute(std::filesystem::path(ruta), error);
    return tralmix::texto::desdeUtf8OReemplazo(error ? std::string(ruta) : camino.native());
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // A run hands back its pieces of a megabyte one by one while the list grows; with a fixed
    // threshold they are mapped on their own and go back to the system when freed, instead of
    // leaving holes in the heap that the list's small strings cannot always fill.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    tralmix::cli::Opciones opciones;
    std::optional<std::string> entrada;
    bool soloArgumentos = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!soloArgumentos && arg.starts_with("--") && arg.size() > 2) {
            std::string_view nombre = arg;
            std::optional<std::string_view> valor;
            if (const auto igual = arg.find('='); igual != std::string_view::npos) {
                nombre = arg.substr(0, igual);
                valor = arg.substr(igual + 1);
            }
            auto tomarValor = [&]() -> std::optional<std::string_view> {
                if (valor) {
                    return valor;
                }
                if (i + 1 < argc) {
                    return std::string_view(argv[++i]);
                }
                return std::nullopt;
            };
            if (nombre == "--help" && !valor) {
                std::fwrite(kUsoTexto.data(), 1, kUsoTexto.size(), stdout);
                return kEscrito;
            }
            if (nombre == "--version" && !valor) {
                std::printf("tralmix %s\n%s\n", TRALMIX_VERSION, TRALMIX_DESCRIPTION);
                return kEscrito;
            }
            if (nombre == "--open" && !valor) {
                opciones.abrir = true;
                continue;
            }
            if (nombre == "--output-dir" || nombre == "--temp-dir" || nombre == "--date") {
                const auto v = tomarValor();
                if (!v || v->empty()) {
                    return errorDeUso("falta el valor de " + std::string(nombre));
                }
                if (nombre == "--date") {
                    opciones.fecha = tralmix::cli::leerFecha(*v);
                    if (!opciones.fecha) {
                        return errorDeUso("fecha no válida: " + std::string(*v) +
                                          " (se espera AAAA-MM-DD)");
                    }
                } else if (nombre == "--output-dir") {
                    opciones.carpetaResultado = absoluta(*v);
                } else {
                    opciones.carpetaTemporal = absoluta(*v);
                }
                continue;
            }
            return errorDeUso("opción desconocida: " + std::string(arg));
        }
        if (!soloArgumentos && arg == "--") {
            soloArgumentos = true;
            continue;
        }
        if (entrada) {
            return errorDeUso("sobra el argumento: " + std::string(arg));
        }
        entrada = std::string(arg);
    }
    if (!entrada || entrada->empty()) {
        return errorDeUso("falta el archivo de entrada");
    }
    opciones.entrada = absoluta(*entrada);

    tralmix::cli::PuertoConsola puerto(std::move(opciones), stderr);
    tralmix::Estado estado;
    tralmix::cargarCarpetaTemporal(estado, puerto);
    const tralmix::Desenlace desenlace = tralmix::cmd_file01_Click(estado, puerto);
    switch (desenlace) {
        case tralmix::Desenlace::Escrito:
            std::printf("%s\n", tralmix::texto::aUtf8(puerto.listaAbierta()).c_str());
            return kEscrito;
        case tralmix::Desenlace::Cancelado:
        case tralmix::Desenlace::Rechazado:
            return kRechazado;
        case tralmix::Desenlace::Interrumpido:
            return 130;
        case tralmix::Desenlace::FalloArchivo:
            return kFalloArchivo;
    }
    return kFalloArchivo;
}
