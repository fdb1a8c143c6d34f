#pragma once

// The files people keep their contacts and mail in: vCard, CSV, LDIF and saved messages, each
// read as what it is by a small reader of its own. The readers only find addresses; the list is
// made from them as from any other file.

#include <memory>
#include <string>
#include <string_view>

#include "extract/desenlace.h"
#include "extract/estado.h"
#include "extract/puerto.h"
#include "util/archivos.h"
#include "util/arreglo.h"
#include "util/avance.h"

namespace tralmix::formatos {

enum class Formato {
    Ninguno,  // not a kind of file a run takes (the command reads it as text all the same)
    Texto,    // .txt and .ctt: the cleaning and the two extraction paths of plain text
    Vcard,    // .vcf, .vcard
    Csv,      // .csv, .tsv
    Ldif,     // .ldif
    Correo,   // .eml: one message
    Mbox,     // .mbox: messages after "From " lines
};

// By the extension, in any case. This is the one list of accepted extensions.
Formato formatoDe(std::u16string_view ruta);

// The Open dialog's entry for these files, "description | *.vcf;*.csv;…", from the same list.
std::u16string entradaFiltro();

// Whether a value, trimmed of spaces and tabs, is one plain address: one "@" with text on both
// sides, nothing that cannot stand in an address unquoted.
bool esDireccion(std::string_view valor);

// Where the readers put what they find: every value that is one address, lower-cased.
class Direcciones {
  public:
    explicit Direcciones(Arreglo& destino) : destino_(destino) {}
    // Takes valor when it is one address (see esDireccion); anything else is passed over.
    void ofrecer(std::string_view valor);

  private:
    Arreglo& destino_;
    std::string minusculas_;
};

// Reads one format a line at a time (lines without their ends: CR LF, CR or LF); fin() after the
// last line. A reader keeps only what an unfinished record needs.
class Lector {
  public:
    virtual ~Lector() = default;
    virtual void linea(std::string_view linea) = 0;
    virtual void fin() {}
};

// Formato::Texto and Formato::Ninguno have no reader here: null.
std::unique_ptr<Lector> crearLector(Formato formato, Direcciones& direcciones);
// The readers themselves, one per file.
std::unique_ptr<Lector> crearLectorVcard(Direcciones& direcciones);
std::unique_ptr<Lector> crearLectorCsv(Direcciones& direcciones, char separadorPreferido);
std::unique_ptr<Lector> crearLectorLdif(Direcciones& direcciones);
std::unique_ptr<Lector> crearLectorCorreo(Direcciones& direcciones, bool mbox);

// The addresses of one mail header's list (From, To, Cc…), its name and colon left out.
void leerListaDeDirecciones(std::string_view lista, Direcciones& direcciones);

// Small decoders the readers share. Bytes that do not decode are dropped.
std::string desdeBase64(std::string_view texto);
std::string desdeQuotedPrintable(std::string_view texto);

// Whether text decoded as Windows-1252 looks like another legacy code page (Shift_JIS, GBK,
// Windows-1251…): bytes 1252 leaves undefined, or most non-ASCII letters in long runs, as
// multi-byte characters and non-Latin words make them. Fed piece by piece.
class VigiaCodificacion {
  public:
    void mirar(std::string_view utf8);
    bool ajena() const;

  private:
    std::uint64_t noAscii_ = 0;
    std::uint64_t enRachas_ = 0;
    std::uint64_t indefinidos_ = 0;
    std::uint64_t racha_ = 0;
};

struct Lectura {
    archivos::Fallo fallo;
    bool interrumpido = false;  // avance asked to stop
    bool ajena = false;         // a contacts file in a code page other than UTF-8/16 or 1252
    archivos::Huella huella;    // the file as it was opened
};

// Reads the whole file with the format's reader, a piece at a time, appending what it finds to
// direcciones (unsorted, repeats kept).
Lectura leerDirecciones(std::u16string_view ruta, Formato formato, Arreglo& direcciones,
                        Avance* avance = nullptr);

// A run on a contacts or mail file: its addresses, each once, sorted and written by the result
// stage in groups.
Desenlace procesarFormato(Estado& estado, Puerto& puerto, Formato formato);

}  // namespace tralmix::formatos
