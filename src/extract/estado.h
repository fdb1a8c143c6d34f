#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extract/informe.h"
#include "util/archivos.h"
#include "util/arreglo.h"
#include "util/avance.h"
#include "util/entorno.h"

namespace tralmix {

// The program-wide state of one window (or one command): whoever drives the runs owns it and
// hands it to every run, so nothing lives in globals.
inline constexpr std::size_t kPorGrupo = 48;
inline constexpr std::size_t kPorGrupoMaximo = 1000;
inline constexpr std::string_view kSeparadorLista = ", ";
inline constexpr std::size_t kSeparadorMaximo = 16;  // bytes

struct Estado {
    // Full path of the chosen input, exactly as the Open dialog returned it.
    std::u16string archivoEntrada;
    // Folder of the working file, ending in a separator.
    std::u16string carpetaTemporal;
    // Where the Open dialog starts: the program's folder.
    std::u16string carpetaPrograma;
    // Folder that receives the result list.
    std::u16string carpetaResultado;
    // The date the list is named after; today's, at the time of writing, when empty.
    std::optional<Fecha> fecha;
    // The working file the last run created, so that a run that ends early can remove it.
    std::u16string archivoTrabajo;
    // The working file's lines after loading; the addresses after extraction.
    Arreglo lineas;
    // The input as the run first opened it: a list is written only if it is still so after the
    // last read.
    archivos::Huella huellaEntrada;
    // The list's layout: addresses per group, and the text between those of a group's line.
    std::size_t porGrupo = kPorGrupo;
    std::string separador{kSeparadorLista};
    // How the runs show their progress; the front end's main sets it.
    AjustesAvance avance;
    // Files of people who must not get mail (any type a run reads): their addresses and
    // "@dominio" lines never reach the list. Only the paths are kept; the files are read at
    // every run.
    std::vector<std::u16string> exclusiones;
    // A report even of a run on one input without exclusion lists.
    bool pedirInforme = false;
    // The clean-up mode: every entry of the list becomes the sendable addresses inside it, or
    // nothing; a run in this mode makes a report.
    bool depurar = false;
    // Where the report is written as JSON (a report is then made); empty: not written.
    std::u16string rutaInforme;
    // The command's copy of standard input, which the report names kEntradaEstandar; empty
    // when there is none.
    std::u16string copiaEntradaEstandar;
    // The run under way when it makes a report; empty otherwise (the plain run of one file).
    std::optional<Recuento> recuento;
};

}  // namespace tralmix
