#pragma once

// Every text a run shows the person, and the forms its messages take. Front ends and the page take
// them from here, so that each is written once.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "extract/desenlace.h"

namespace tralmix {

// The phase as the user reads it.
std::u16string_view nombreFase(Fase fase);

// What a run's progress shows, the same in both windows, the page and the command: each keeps one
// from the runner's reports and takes its texts from it.
struct Progreso {
    std::u16string archivo;        // the file's name, without its folder
    std::optional<Fase> fase;      // the latest phase; none before the first report
    std::optional<int> milesimas;  // its share done, when known
    bool cancelando = false;       // the stop was asked for

    // A new run on the file ruta.
    void empezar(std::u16string_view ruta);
    void avanzar(Fase nueva, std::uint64_t hecho, std::uint64_t total);

    // "Limpiando..." (the phase), "Procesando..." before the first report, "Cancelando...".
    std::u16string estado() const;
    // The two lines of a progress window, CR LF between them: "Archivo: " and the name, then
    // estado(); conCifra adds the share when known, for a bar that shows no number.
    std::u16string texto(bool conCifra) const;
};

// A share done as the person reads it: "42 %", whole hundredths cut down.
std::u16string textoPorcentaje(int milesimas);

inline constexpr std::u16string_view kTitulo = u"Messenger Add-in";
inline constexpr std::u16string_view kTituloCancelada = u"   Operación cancelada";

inline constexpr std::u16string_view kNoValido = u"El archivo especificado no es valido...";
inline constexpr std::u16string_view kNoExiste = u"El archivo especificado no existe...";
inline constexpr std::u16string_view kNombreNoValido = u"Nombre no es valido !";
inline constexpr std::u16string_view kVacio = u"El archivo esta vacio!\r\nImposible continuar";
inline constexpr std::u16string_view kEsLaLista =
    u"El archivo especificado es la lista que se va a crear...";
inline constexpr std::u16string_view kSinDirecciones =
    u"No se encontraron direcciones en el archivo:";
inline constexpr std::u16string_view kCreado = u"Se ha creado el archivo:";
inline constexpr std::u16string_view kCierreMasivo = u"Ya puede enviar Mails masivos  :)";
inline constexpr std::u16string_view kCierreLista = u"Ya puede enviar Mails a toda es lista  :)";
// Every address found is on an exclusion list.
inline constexpr std::u16string_view kTodasExcluidas =
    u"Todas las direcciones encontradas están en las listas de exclusión: no se ha creado "
    u"ninguna lista.";

// How the messages and the report name standard input, which the command reads from a copy.
inline constexpr std::u16string_view kEntradaEstandar = u"(entrada estándar)";

// The desktop could not open a file or address (the list, the help): a file error's form, with
// the reason the opener gave.
inline constexpr std::u16string_view kNoSeAbrio = u"No se pudo abrir:";
inline constexpr std::u16string_view kSinAyuda = u"No se encontró la ayuda del programa.";

// What failed, on which file, for "<what failed>:" CR LF path CR LF CR LF "Motivo: <why>".
inline constexpr std::u16string_view kNoSeLeyo = u"No se pudo leer el archivo:";
inline constexpr std::u16string_view kNoSeReleyo = u"No se pudo leer de nuevo el archivo:";
inline constexpr std::u16string_view kNoSeCreoTrabajo = u"No se pudo crear el archivo de trabajo:";
inline constexpr std::u16string_view kNoSeEscribioTrabajo =
    u"No se pudo escribir el archivo de trabajo:";
inline constexpr std::u16string_view kNoSeCargoTrabajo =
    u"No se pudo cargar el archivo de trabajo:";
inline constexpr std::u16string_view kNoSeCreo = u"No se pudo crear el archivo:";
inline constexpr std::u16string_view kNoSeProceso = u"No se pudo procesar el archivo:";

// Why a run could not go on, beyond the system's own reasons.
inline constexpr std::u16string_view kSinMemoria = u"no hay memoria suficiente";
inline constexpr std::u16string_view kDemasiadoGrande = u"el archivo es demasiado grande";
inline constexpr std::u16string_view kSinConversion = u"su texto no se pudo convertir";
inline constexpr std::u16string_view kCambiado = u"el archivo cambió mientras se procesaba";
// Why the report cannot go where it was asked to: it would replace a file the run reads or writes.
inline constexpr std::u16string_view kInformeSobreLeido = u"es uno de los archivos que se leen";
inline constexpr std::u16string_view kInformeSobreLista = u"es la lista que se va a crear";
// Legacy code pages other than Windows-1252 cannot be told apart reliably, so they are refused.
inline constexpr std::u16string_view kOtraCodificacion =
    u"no está en UTF-8, UTF-16 ni Windows-1252 (parece otra codificación, como Shift_JIS); "
    u"guárdelo como UTF-8 y vuelva a intentarlo";

// The form of every file error.
std::u16string mensajeFallo(std::u16string_view accion, std::u16string_view ruta,
                            std::u16string_view motivo);

}  // namespace tralmix
