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
    // Absolute paths of INPUT..., in the order given; standard input's place ("-") is empty.
    std::vector<std::u16string> entradas;
    bool entradaEstandar = false;  // one INPUT is "-": the text comes on standard input
    // Files of people who must not get mail (--excluir, absolute paths), in the order given.
    std::vector<std::u16string> exclusiones;
    std::optional<std::u16string> informe;  // where the JSON report goes (--informe)
    bool resumen = false;                   // a report even of one input alone (--resumen)
    bool depurar = false;                   // the clean-up mode (--depurar)
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
