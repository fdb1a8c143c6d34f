#pragma once

// How a run ends, the phases it reports, and every text it shows: the run and its stages include
// this, never the other way round.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tralmix {

// How a run ended, for callers that report it (the command's exit status).
enum class Desenlace {
    Escrito,       // the result list was written, announced and handed to the opener
    Cancelado,     // the dialog was cancelled: nothing shown, nothing written
    Rechazado,     // the run refused the input with its own message (bad name, empty, no address)
    FalloArchivo,  // a file could not be read or written; a message said which and why
    Interrumpido,  // the user stopped the run: no message, no list written, an earlier one intact
};

// The exit status that reports how a run ended, the same from the command and the browser.
inline constexpr int kSalidaEscrito = 0;
inline constexpr int kSalidaRechazado = 1;
inline constexpr int kSalidaFalloArchivo = 3;
inline constexpr int kSalidaInterrumpido = 130;  // as a shell reports a program ended by Ctrl-C
int codigoSalida(Desenlace desenlace);

// The long steps of a run, in the order they come, for a progress display.
enum class Fase {
    Limpieza,    // reading the input and writing the cleaned working file
    Carga,       // loading the working file
    Extraccion,  // reading the pasted messages again and taking their addresses
    Orden,       // sorting
    Escritura,   // writing the list
};

// The phase as the user reads it.
std::u16string_view nombreFase(Fase fase);

// The share of a phase done, in thousandths; none when the total is unknown.
std::optional<int> milesimas(std::uint64_t hecho, std::uint64_t total);

// Runs shorter than this show no progress, only the busy pointer: half a second. For tests,
// TRALMIX_RETRASO_PROGRESO_MS sets it (0: a run shows its progress however fast the build is).
std::chrono::milliseconds demoraProgreso();

// For tests only: with TRALMIX_RETENER_HASTA_PARAR set to 1, a run waits at its first progress
// report until it is stopped, so that a test stops it mid-way on any machine.
bool retenerHastaParar();

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

// The desktop could not open a file or address (the list, the help, the web site).
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

// kNoSeAbrio, a line break and what could not be opened.
std::u16string mensajeApertura(std::u16string_view destino);

// The form of every file error.
std::u16string mensajeFallo(std::u16string_view accion, std::u16string_view ruta,
                            std::u16string_view motivo);

}  // namespace tralmix
