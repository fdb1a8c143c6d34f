#pragma once

// The report of a run: what each file gave, what went as repeats or excluded, what reached the
// list. Made for every run on several inputs or with exclusion lists, and on request for one
// input; handed to the port (Puerto::informe) and, when asked, written as JSON.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "extract/avisos.h"
#include "extract/exclusion.h"
#include "util/archivos.h"

namespace tralmix {

// One file the run read, an input or an exclusion list.
struct ArchivoInforme {
    std::u16string ruta;
    // What it was read as: "lista", "mensajes", "ctt", "vcard", "csv", "ldif", "eml", "mbox".
    std::string formato;
    // Inputs: the addresses found in it, repeats included. Exclusion lists: the addresses and
    // domains it names.
    std::uint64_t direcciones = 0;
};

struct Informe {
    std::vector<ArchivoInforme> archivos;     // the inputs, in the order given
    std::vector<ArchivoInforme> exclusiones;  // the exclusion lists, in the order given
    std::uint64_t encontradas = 0;            // every address found, repeats included
    std::uint64_t excluidas = 0;              // removed by the exclusion lists, repeats too
    std::uint64_t repetidas = 0;              // removed as repeats of what was left
    std::uint64_t listadas = 0;               // written to the list
    std::uint64_t grupos = 0;                 // groups of the list
    // The clean-up mode: whether the run made it, the entries it dropped (no address inside)
    // and those it reduced to the addresses inside (letter case aside).
    bool depurada = false;
    std::uint64_t descartadas = 0;
    std::uint64_t corregidas = 0;
    // Without the mode: the listed entries it would drop or reduce, which the summary points to.
    std::uint64_t dudosas = 0;
    std::vector<Aviso> avisos;  // on the listed addresses, each once: what to look at
};

// The word the report gives a file's kind: by its extension, and for text whether it was read as
// pasted messages.
std::string formatoDeInforme(std::u16string_view ruta, bool mensajes);

// The report as one line of UTF-8 JSON ended by LF: {"version": 1, "archivos": [{"ruta",
// "formato", "direcciones"}…], "exclusiones": [the same], "encontradas", "repetidas",
// "excluidas", "listadas", "grupos", "depurada" (true or false), "descartadas", "corregidas",
// "dudosas", "avisos": [{"direccion", "motivo", "sugerencia"}…]}.
std::string informeJson(const Informe& informe);

// The one Spanish line every front end shows, e.g. "Resumen: 1.234 direcciones en 26 grupos;
// 210 repetidas y 15 excluidas quitadas"; inputs of several that gave no address are named at
// its end by their file names.
std::u16string resumen(const Informe& informe);

// What every front end shows of a report, line by line, under the run's own messages: the
// summary; then what the clean-up did ("Lista depurada: 3 entradas descartadas y 1 corregida")
// or, without it, how many entries it would mend and how to ask for it ("3 entradas no parecen
// direcciones: active «Depurar la lista»"); then the warnings, at most kAvisosMostrados of them
// ("Aviso: ana@gmial.com: ¿quiso decir gmail.com?"), and "y N más" for the rest.
std::vector<std::u16string> lineasDelResumen(const Informe& informe);
// The same where the mode is asked for in another way too: comoPedirlo follows the window's
// name of it ("--depurar" gives "… active «Depurar la lista» (--depurar)").
std::vector<std::u16string> lineasDelResumen(const Informe& informe,
                                             std::u16string_view comoPedirlo);
inline constexpr std::size_t kAvisosMostrados = 10;

// One warning as a line: "Aviso: info@empresa.es: cuenta de función (no es de una persona)".
std::u16string lineaDeAviso(const Aviso& aviso);

// A count with "." between thousands: 1234567 gives "1.234.567".
std::u16string conMillares(std::uint64_t n);

// A file the run read, as it first opened it.
struct FuenteLeida {
    std::u16string ruta;
    archivos::Huella huella;
};

// What a run that makes a report carries from its first step to its list.
struct Recuento {
    Informe informe;
    Exclusion excluir;
    // Files read besides the one input of a run on one (the exclusion lists; every input when
    // several): the list is written only if each is still as first opened.
    std::vector<FuenteLeida> leidas;
    bool varias = false;  // several inputs: each address once, lower-cased
};

}  // namespace tralmix
