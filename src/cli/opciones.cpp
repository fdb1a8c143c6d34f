#include "cli/opciones.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>

#include "extract/disposicion.h"
#include "util/entorno.h"
#include "version.h"

namespace tralmix::cli {
namespace {

// Where each system's temporary folder comes from (on Windows, GetTempPathW's order).
#ifdef _WIN32
#define TRALMIX_TEMPORAL "TMP o TEMP"
#define TRALMIX_PERSONAL "la carpeta del perfil del usuario"
#else
#define TRALMIX_TEMPORAL "TMPDIR o /tmp"
#define TRALMIX_PERSONAL "la carpeta personal"
#endif

constexpr std::string_view kUsoTexto =
    "Uso: tralmix-cli [--output-dir CARPETA] [--temp-dir CARPETA] [--date AAAA-MM-DD] [--open]\n"
    "                 [--group-size N] [--separator TEXTO] [--excluir ARCHIVO]...\n"
    "                 [--informe ARCHIVO] [--resumen] [--depurar] [-q | --progress] ENTRADA...\n"
    "     tralmix-cli -h | -V\n"
    "\n"
    "Crea la lista de correos de ENTRADA en CARPETA/Mails_AAAAMMDD.txt, en grupos de 48, e\n"
    "imprime su ruta. Con varias ENTRADA hace una sola lista, con cada dirección una vez y en\n"
    "minúsculas. ENTRADA puede ser:\n"
    "  .txt          una dirección por línea, o correos pegados\n"
    "  .ctt          contactos del messenger\n"
    "  .vcf .vcard   contactos vCard: las propiedades EMAIL\n"
    "  .csv .tsv     contactos exportados: las columnas de correo (o, sin encabezado, cada\n"
    "                campo que sea una dirección); UTF-8, UTF-16 o Windows-1252\n"
    "  .ldif         libreta de direcciones: los atributos mail y mozillaSecondEmail\n"
    "  .eml .mbox    correos guardados: De, Remitente, Responder a, Para, CC, CCO y Resent-*\n"
    "                de cada mensaje; el cuerpo de los mensajes no se lee\n"
    "Cualquier otro archivo se lee como un .txt, y - es la entrada estándar, leída como un\n"
    ".txt (un texto pegado: ... | tralmix-cli -); - puede aparecer una sola vez.\n"
    "\n"
    "  --output-dir CARPETA  carpeta de la lista (por omisión, " TRALMIX_PERSONAL
    ")\n"
    "  --temp-dir CARPETA    carpeta del archivo de trabajo (por omisión, " TRALMIX_TEMPORAL
    ")\n"
    "  --date AAAA-MM-DD     fecha del nombre de la lista (por omisión, hoy)\n"
    "  --open                abre la lista con el programa predeterminado del escritorio\n"
    "  --group-size N        direcciones por grupo, de 1 a 1000 (por omisión, 48)\n"
    "  --separator TEXTO     texto entre las direcciones de un grupo (por omisión, \", \";\n"
    "                        por ejemplo \"; \" para programas que separan con punto y coma;\n"
    "                        sin letras, cifras, @ ni caracteres de control o invisibles)\n"
    "  --excluir ARCHIVO     direcciones que no deben recibir: ninguna dirección de ARCHIVO\n"
    "                        (de cualquier tipo de ENTRADA) llega a la lista, y una línea\n"
    "                        @dominio o *@dominio deja fuera todo ese dominio; se puede repetir\n"
    "  --informe ARCHIVO     escribe el informe de la ejecución en ARCHIVO (JSON en UTF-8)\n"
    "  --resumen             muestra el resumen también de una sola ENTRADA\n"
    "  --depurar             deja en la lista solo direcciones a las que se puede enviar: cada\n"
    "                        entrada se reduce a las direcciones que contiene, o se quita\n"
    "  -q, --quiet           no muestra el progreso ni, salvo con --resumen, el resumen\n"
    "  --progress            muestra el progreso aunque la salida de errores no sea un terminal\n"
    "  -h, --help            muestra esta ayuda\n"
    "  -V, --version         muestra la versión\n"
    "\n"
    "En un terminal, el progreso aparece en la salida de errores cuando el proceso tarda.\n"
    "Ctrl-C detiene el proceso sin escribir la lista.\n"
    "\n"
    "Con varias ENTRADA, --excluir, --informe, --resumen o --depurar, la salida de errores\n"
    "termina con el resumen: direcciones y grupos de la lista, repetidas y excluidas quitadas,\n"
    "entradas que no parecen direcciones y avisos (dominios que parecen mal escritos, cuentas\n"
    "de función como info@); los avisos nunca cambian la lista.\n"
    "\n"
    "Estado de salida: 0 lista creada, 1 entrada rechazada o sin direcciones, 2 error de uso,\n"
    "3 fallo al leer o escribir un archivo, 130 interrumpido (128 + la señal que lo detuvo).\n";

// One line that says what is wrong, and where the whole help is.
Respuesta errorDeUso(const std::string& texto) {
    return {kSalidaUso,
            {},
            "tralmix-cli: " + texto + "\nPruebe «tralmix-cli --help» para más información.\n"};
}

// The short forms, taken only as whole words before "--": any other word with one dash is a
// file ("-lista.txt"), and "-" is standard input.
std::vector<std::string> sinFormasCortas(const std::vector<std::string>& argumentos) {
    std::vector<std::string> largos;
    bool soloArgumentos = false;
    bool valor = false;  // the word after an option that takes one is its value, whatever it is
    for (const std::string& a : argumentos) {
        soloArgumentos = soloArgumentos || (a == "--" && !valor);
        largos.push_back(soloArgumentos || valor ? a
                         : a == "-h"             ? "--help"
                         : a == "-V"             ? "--version"
                         : a == "-q"             ? "--quiet"
                                                 : a);
        valor = !valor && !soloArgumentos &&
                (a == "--output-dir" || a == "--temp-dir" || a == "--date" || a == "--group-size" ||
                 a == "--separator" || a == "--excluir" || a == "--informe");
    }
    return largos;
}

}  // namespace

std::variant<Opciones, Respuesta> leerOpciones(const std::vector<std::string>& dados) {
    const std::vector<std::string> argumentos = sinFormasCortas(dados);
    CLI::App app;
    // Our own help and usage texts, in Spanish; unknown words are judged below.
    app.set_help_flag();
    app.allow_extras();
    bool ayuda = false;
    bool version = false;
    bool abrir = false;
    bool callado = false;
    bool progreso = false;
    std::optional<std::string> salida;
    std::optional<std::string> temporal;
    std::optional<std::string> fecha;
    std::optional<std::string> porGrupo;
    std::optional<std::string> separador;
    std::optional<std::string> informe;
    std::vector<std::string> excluir;
    bool resumen = false;
    bool depurar = false;
    std::string entrada;
    app.add_flag("--help", ayuda);
    app.add_flag("--version", version);
    app.add_flag("--open", abrir);
    app.add_flag("--quiet", callado);
    app.add_flag("--progress", progreso);
    app.add_option("--output-dir", salida);
    app.add_option("--temp-dir", temporal);
    app.add_option("--date", fecha);
    app.add_option("--group-size", porGrupo);
    app.add_option("--separator", separador);
    app.add_option("--informe", informe);
    // One file after each --excluir: the words after it are inputs.
    app.add_option("--excluir", excluir)->allow_extra_args(false);
    app.add_flag("--resumen", resumen);
    app.add_flag("--depurar", depurar);
    app.add_option("entrada", entrada);

    // "--date=" and an option given twice would be blamed on other words by the parser: they are
    // judged first, naming the option. Only --excluir may come again.
    for (const std::string_view nombre :
         {"--output-dir", "--temp-dir", "--date", "--informe", "--excluir"}) {
        int veces = 0;
        for (std::size_t i = 0; i < argumentos.size() && argumentos[i] != "--"; ++i) {
            const std::string_view a = argumentos[i];
            if (a == nombre) {
                ++i;  // its value, whatever it looks like
            } else if (!a.starts_with(nombre) || a.size() == nombre.size() ||
                       a[nombre.size()] != '=') {
                continue;
            } else if (a.size() == nombre.size() + 1) {
                return errorDeUso("falta el valor de " + std::string(nombre));
            }
            if (++veces > 1 && nombre != "--excluir") {
                return errorDeUso(std::string(nombre) + " aparece más de una vez");
            }
        }
    }
    std::vector<std::string> alReves(argumentos.rbegin(), argumentos.rend());
    try {
        app.parse(alReves);
    } catch (const CLI::ArgumentMismatch& e) {
        // Only an option left without its value gets here.
        const std::string que = e.what();
        return errorDeUso("falta el valor de " + que.substr(0, que.find(':')));
    } catch (const CLI::ParseError& e) {
        return errorDeUso(e.what());
    }
    if (ayuda) {
        return Respuesta{kSalidaEscrito, std::string(kUsoTexto), {}};
    }
    if (version) {
        return Respuesta{
            kSalidaEscrito, "tralmix " TRALMIX_VERSION "\n" TRALMIX_DESCRIPTION "\n", {}};
    }
    // Only "--name" is an option: a name with one dash is a file, and after "--" every word is
    // one.
    std::vector<std::string> entradas;
    if (!entrada.empty()) {
        entradas.push_back(entrada);
    }
    // The words that were not options nor the first input: the other inputs.
    bool soloArgumentos = false;
    for (const std::string& resto : app.remaining()) {
        if (resto == "--" && !soloArgumentos) {
            soloArgumentos = true;
        } else if (!soloArgumentos && resto.starts_with("--")) {
            return errorDeUso("opción desconocida: " + resto);
        } else {
            entradas.push_back(resto);
        }
    }
    for (const auto& [nombre, valor] :
         {std::pair{"--output-dir", &salida}, std::pair{"--temp-dir", &temporal},
          std::pair{"--date", &fecha}, std::pair{"--group-size", &porGrupo},
          std::pair{"--informe", &informe}}) {
        if (*valor && (*valor)->empty()) {
            return errorDeUso(std::string("falta el valor de ") + nombre);
        }
    }
    for (const std::string& archivo : excluir) {
        if (archivo.empty()) {
            return errorDeUso("falta el valor de --excluir");
        }
        // Standard input is the text to make the list of, never a list to leave out.
        if (archivo == "-") {
            return errorDeUso("--excluir no admite la entrada estándar (-)");
        }
    }
    if (std::count(entradas.begin(), entradas.end(), "-") > 1) {
        return errorDeUso("la entrada estándar (-) aparece más de una vez");
    }
    if (callado && progreso) {
        return errorDeUso("--quiet y --progress no van juntos");
    }
    Opciones opciones;
    if (fecha) {
        opciones.fecha = leerFecha(*fecha);
        if (!opciones.fecha) {
            return errorDeUso("fecha no válida: " + *fecha + " (se espera AAAA-MM-DD)");
        }
    }
    if (porGrupo) {
        auto leido = leerPorGrupo(*porGrupo);
        if (!leido.valor) {
            return errorDeUso(leido.error);
        }
        opciones.porGrupo = leido.valor;
    }
    if (separador) {
        auto leido = leerSeparador(std::string_view(*separador));
        if (!leido.valor) {
            return errorDeUso(leido.error);
        }
        opciones.separador = std::move(leido.valor);
    }
    if (std::count(entradas.begin(), entradas.end(), "") == std::ssize(entradas)) {
        return errorDeUso("falta el archivo de entrada");
    }
    if (std::count(entradas.begin(), entradas.end(), "") > 0) {
        return errorDeUso("sobra un argumento vacío");
    }
    // "-": standard input, which the command copies to a file of its own before the run.
    for (const std::string& e : entradas) {
        opciones.entradaEstandar = opciones.entradaEstandar || e == "-";
        opciones.entradas.push_back(e == "-" ? std::u16string() : entorno::rutaAbsoluta(e));
    }
    for (const std::string& archivo : excluir) {
        opciones.exclusiones.push_back(entorno::rutaAbsoluta(archivo));
    }
    if (informe) {
        opciones.informe = entorno::rutaAbsoluta(*informe);
    }
    opciones.resumen = resumen;
    opciones.depurar = depurar;
    if (salida) {
        opciones.carpetaResultado = entorno::rutaAbsoluta(*salida);
    }
    if (temporal) {
        opciones.carpetaTemporal = entorno::rutaAbsoluta(*temporal);
    }
    opciones.abrir = abrir;
    opciones.progreso = callado    ? MostrarProgreso::Nunca
                        : progreso ? MostrarProgreso::Siempre
                                   : MostrarProgreso::Automatico;
    return opciones;
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
