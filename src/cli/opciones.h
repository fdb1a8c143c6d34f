#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "extract/desenlace.h"
#include "util/entorno.h"

namespace tralmix::cli {

// The command's own exit status beside those of a run (codigoSalida).
inline constexpr int kSalidaUso = 2;

enum class MostrarProgreso { Automatico, Nunca, Siempre };

struct Opciones {
    std::u16string entrada;        // absolute path of INPUT
    bool entradaEstandar = false;  // INPUT is "-": the text comes on standard input
    std::optional<std::u16string> carpetaResultado;
    std::optional<std::u16string> carpetaTemporal;
    std::optional<Fecha> fecha;
    bool abrir = false;
    MostrarProgreso progreso = MostrarProgreso::Automatico;
    std::optional<std::size_t> porGrupo;
    std::optional<std::string> separador;  // UTF-8
};

// What the command prints instead of running: help, version, or a usage error.
struct Respuesta {
    int estado = kSalidaEscrito;
    std::string salida;   // for stdout
    std::string errores;  // for stderr
};

// Reads the arguments after the program's name.
std::variant<Opciones, Respuesta> leerOpciones(const std::vector<std::string>& argumentos);

// Parses YYYY-MM-DD into a valid calendar date.
std::optional<Fecha> leerFecha(std::string_view texto);

}  // namespace tralmix::cli
