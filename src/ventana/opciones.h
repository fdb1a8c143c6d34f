#pragma once

// What both windows' "Opciones de la lista…" keep between starts, how it reaches the state a run
// reads, and the texts both windows show of a report. No toolkit here: each window stores these
// in its own settings (QSettings, the registry) and shows them in its own widgets.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "extract/disposicion.h"
#include "extract/estado.h"
#include "extract/informe.h"
#include "extract/puerto.h"

namespace tralmix {

struct OpcionesVentana {
    // A new user's: the usual layout, no exclusion file, both checks off.
    OpcionesVentana() = default;
    OpcionesVentana(OpcionesLista disposicion, std::vector<std::u16string> archivos, bool depura,
                    bool siempre)
        : lista(std::move(disposicion)),
          exclusiones(std::move(archivos)),
          depurar(depura),
          siempreResumen(siempre) {}

    OpcionesLista lista{kPorGrupo, std::string(kSeparadorLista)};
    // Files of addresses that must never reach the list, by their paths as chosen. A file that
    // has since gone stays here: the run then says it cannot read it, rather than making a list
    // that may hold the people it named.
    std::vector<std::u16string> exclusiones;
    bool depurar = false;         // "Depurar la lista"
    bool siempreResumen = false;  // "Mostrar siempre el resumen": a report of every run
};

// The options a run in this state would use, and the state set to them.
OpcionesVentana opcionesDe(const Estado& estado);
void aplicarOpciones(const OpcionesVentana& opciones, Estado& estado);

// Adds to lista the paths of nuevas that it does not hold yet, in their order.
void agregarExclusiones(std::vector<std::u16string>& lista,
                        const std::vector<std::u16string>& nuevas);

// The Open dialog of "Agregar…": several files of any type a run reads, starting in carpeta.
AjustesDialogo ajustesAgregar(std::uintptr_t dueno, std::u16string carpeta);

// The report panel's text: every line lineasDelResumen gives, CR LF between them.
std::u16string textoResumen(const Informe& informe);

}  // namespace tralmix
