#include "cli/puerto_consola.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "util/archivos.h"
#include "util/cadenas.h"
#include "util/texto.h"

namespace tralmix::cli {
namespace {

std::u16string variable(const char* nombre) {
    const char* valor = std::getenv(nombre);
    return valor != nullptr ? texto::desdeUtf8OReemplazo(valor) : std::u16string{};
}

}  // namespace

PuertoConsola::PuertoConsola(Opciones opciones, std::FILE* errores)
    : opciones_(std::move(opciones)), errores_(errores) {}

void PuertoConsola::mensaje(std::u16string_view texto, Estilo, std::u16string_view titulo) {
    // A message box becomes "TITLE: TEXT", its CR LF line breaks printed as line breaks.
    const std::u16string lineas = reemplazar(texto, u"\r\n", u"\n");
    const std::string salida = texto::aUtf8(titulo) + ": " + texto::aUtf8(lineas) + "\n";
    std::fwrite(salida.data(), 1, salida.size(), errores_);
    std::fflush(errores_);
}

RespuestaDialogo PuertoConsola::mostrarDialogo(const AjustesDialogo&) {
    return RespuestaDialogo{true, opciones_.entrada};
}

std::u16string PuertoConsola::carpetaPrograma() const {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::u16string(u".") : archivos::desdeRuta(exe.parent_path());
}

void PuertoConsola::abrirArchivo(const std::u16string& ruta) {
    listaAbierta_ = ruta;
    if (opciones_.abrir) {
        archivos::abrirConEscritorio(ruta);
    }
}

Fecha PuertoConsola::hoy() const {
    return opciones_.fecha ? *opciones_.fecha : fechaLocal();
}

std::u16string PuertoConsola::carpetaResultado() const {
    if (opciones_.carpetaResultado) {
        return *opciones_.carpetaResultado;
    }
    // The home folder stands where the list used to go: the root of the system drive.
    if (std::u16string home = variable("HOME"); !home.empty()) {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        return texto::desdeUtf8OReemplazo(pw->pw_dir);
    }
    return u".";
}

std::u16string PuertoConsola::carpetaTemporal() const {
    if (opciones_.carpetaTemporal) {
        return *opciones_.carpetaTemporal;
    }
    if (std::u16string tmp = variable("TMPDIR"); !tmp.empty()) {
        return tmp;
    }
    return u"/tmp";
}

Fecha fechaLocal() {
    const std::time_t ahora = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&ahora, &local);
    return Fecha{local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                 static_cast<unsigned>(local.tm_mday)};
}

std::optional<Fecha> leerFecha(std::string_view t) {
    if (t.size() != 10 || t[4] != '-' || t[7] != '-') {
        return std::nullopt;
    }
    auto numero = [&](std::size_t desde, std::size_t largo) -> std::optional<int> {
        int n = 0;
        for (std::size_t i = desde; i < desde + largo; ++i) {
            if (t[i] < '0' || t[i] > '9') {
                return std::nullopt;
            }
            n = n * 10 + (t[i] - '0');
        }
        return n;
    };
    const auto anio = numero(0, 4);
    const auto mes = numero(5, 2);
    const auto dia = numero(8, 2);
    if (!anio || !mes || !dia || *anio < 1) {
        return std::nullopt;
    }
    const std::chrono::year_month_day ymd{std::chrono::year{*anio},
                                          std::chrono::month{static_cast<unsigned>(*mes)},
                                          std::chrono::day{static_cast<unsigned>(*dia)}};
    if (!ymd.ok()) {
        return std::nullopt;
    }
    return Fecha{*anio, static_cast<unsigned>(*mes), static_cast<unsigned>(*dia)};
}

}  // namespace tralmix::cli
