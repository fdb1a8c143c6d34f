#pragma once

// The window principal as both toolkits build it: caption, texts, sizes, colours, fonts and the
// place of every control, written once. No toolkit here.

#include <string>
#include <string_view>

#include "ventana/bandas.h"

namespace tralmix {

// Texts, sizes and colours of the window, in a namespace of their own so that they never meet
// the engine's constants of the same name.
namespace vista {

inline constexpr char16_t kTitulo[] = u" Creador de listas de  e-mails";
inline constexpr char16_t kInstrucciones[] =
    u"Seleccione un archivo de texto (*.Txt) que tenga direcciones de \r\n"
    u"correo ya sea una por linea o como correo masivo.\r\n"
    u"o\r\n"
    u"un archivo de contactos del messenger (*.Ctt)\r\n"
    u"\r\n"
    u"Este programa creará una lista para envío de correos por lotes.\r\n";
inline constexpr char16_t kArchivoAyuda[] = u"tralmix.chm";
// The pages the help file is compiled from, for desktops without a viewer for it.
inline constexpr char16_t kAyudaHtml[] = u"ayuda/index.html";

inline constexpr char16_t kTextoBoton[] = u"...";
inline constexpr char16_t kConsejoBoton[] = u" Seleccione un archivo ";
inline constexpr char16_t kConsejoAyuda[] = u" Ayuda ";
// The logo opens the help too: its first page says what the program is and who made it.
inline constexpr char16_t kConsejoLogo[] = u" Acerca de Tralmix ";
inline constexpr char16_t kTextoEtiqueta[] = u"Archivo :";

// The report of the last run, in a panel under the controls that shows only after a run that made
// one: its label (Alt+I reaches the text) and the dialog of "Opciones de la lista…".
inline constexpr char16_t kEtiquetaResumen[] = u"&Informe:";
inline constexpr char16_t kNombreResumen[] = u"Informe de la última lista";
inline constexpr char16_t kTituloOpciones[] = u"Opciones de la lista";
inline constexpr char16_t kEtiquetaExclusiones[] = u"Direcciones que &no deben recibir:";
inline constexpr char16_t kNotaExclusiones[] =
    u"Archivos con direcciones (o líneas \"@dominio\") que nunca llegan a la lista: se leen en "
    u"cada ejecución, no se copian.";
inline constexpr char16_t kTextoAgregar[] = u"&Agregar\u2026";
inline constexpr char16_t kTextoQuitar[] = u"&Quitar";
inline constexpr char16_t kTextoDepurar[] = u"De&purar la lista";
inline constexpr char16_t kTextoSiempreResumen[] = u"&Mostrar siempre el resumen";
// The Open dialog of "Agregar…".
inline constexpr char16_t kTituloAgregar[] = u"Direcciones que no deben recibir";

// The progress dialog of a long run.
inline constexpr char16_t kTituloProgreso[] = u"Procesando";
inline constexpr char16_t kTextoCancelar[] = u"Cancelar";

inline constexpr int kAnchoClienteTwips = 7755;
inline constexpr int kAltoClienteTwips = 2580;
inline constexpr int kAnchoCliente = 517;  // at 15 twips a pixel
inline constexpr int kAltoCliente = 172;
inline constexpr Color kFondo = colorRGB(8, 57, 133);
inline constexpr Color kDegradadoInicio = colorRGB(13, 99, 186);
inline constexpr Color kDegradadoFin = colorRGB(0, 0, 61);
inline constexpr Color kBlanco = colorRGB(255, 255, 255);
inline constexpr Color kCaraBoton = colorRGB(224, 224, 224);

// The hand pointer of the two images: 32 by 32, monochrome, hot spot here.
inline constexpr int kManoX = 7;
inline constexpr int kManoY = 1;

// Twips to pixels at the screen's pixels per inch (96: 15 twips a pixel), to the nearest pixel.
constexpr int pixeles(int twips, int puntosPorPulgada = 96) {
    return (twips * puntosPorPulgada + 720) / 1440;
}

static_assert(pixeles(kAnchoClienteTwips) == kAnchoCliente &&
              pixeles(kAltoClienteTwips) == kAltoCliente);

// A control's place in twips from the client area's top-left corner.
struct Lugar {
    int izquierda;
    int arriba;
    int ancho;
    int alto;
};

// With the report panel shown the client area grows downwards by the panel; what is above it
// stays as it is, and the panel's ground is the gradient's last colour.
inline constexpr int kAltoConResumenTwips = 4185;
inline constexpr int kAltoConResumen = 279;
inline constexpr Color kFondoResumen = kDegradadoFin;
static_assert(pixeles(kAltoConResumenTwips) == kAltoConResumen);

// The controls, from the bottom of the stacking order to the top.
inline constexpr Lugar kText1{2175, 728, 4875, 1605};
inline constexpr Lugar kTxtFile01{1320, 180, 5490, 315};
inline constexpr Lugar kCmdFile01{6945, 180, 645, 315};
inline constexpr Lugar kImgAyuda{7200, 1290, 480, 480};
inline constexpr Lugar kImage1{120, 675, 1830, 1710};
inline constexpr Lugar kLblInfo{120, 210, 1125, 240};
// The report panel: its label (white, as lblInfo) and its read-only text in the default colours.
inline constexpr Lugar kLblResumen{120, 2580, 7515, 240};
inline constexpr Lugar kTxtResumen{120, 2835, 7515, 1215};

struct Fuente {
    const char16_t* familia;
    double puntos;
    bool negrita;
};

// Text1: white on the background colour; lblInfo: white on a transparent background.
inline constexpr Fuente kFuenteInstrucciones{u"Times New Roman", 9, false};
inline constexpr Fuente kFuenteEtiqueta{u"Arial", 9.75, true};

}  // namespace vista
}  // namespace tralmix
