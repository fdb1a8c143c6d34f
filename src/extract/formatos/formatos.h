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
#include "util/texto.h"

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
// Whether the format is read by one of the readers here (not Texto nor Ninguno).
bool tieneLector(Formato formato);

// The Open dialog's entries for these files, "description | *.vcf;*.csv;…", from the same list,
// and then one for every file.
std::u16string entradaFiltro();

// What a file that is no text seems to be, by its first bytes.
enum class Binario {
    No,
    Zip,          // zip: the sheets and documents of office suites (.xlsx, .ods, .docx)
    Ole,          // the older office documents (.xls, .doc)
    Pdf,          //
    Imagen,       // PNG, JPEG, GIF
    Comprimido,   // gzip, 7z, rar, xz, bzip2
    BaseDeDatos,  // SQLite, where some address books keep their contacts
    Programa,     // an executable
    Otro,         // NUL bytes, in a file that is not UTF-16 or UTF-32
};

// The reason a run gives for refusing such a file: what it seems to be and what to do.
std::u16string_view motivoBinario(Binario binario);

// How a run reads a file: by its extension; without one, by its first bytes (a mailbox, as some
// mail programs keep them, a vCard or an LDIF file); and whether the file is binary after all.
struct Eleccion {
    Formato formato = Formato::Ninguno;
    Binario binario = Binario::No;
};

// The first bytes of a file judged: inicio is what the file begins with (some kilobytes), its
// format by content wanted only when porContenido.
Eleccion juzgarInicio(std::string_view inicio, bool porContenido);
// The file's first bytes read and judged; a file that cannot be read is judged by its name alone,
// and the run says why when it reads it.
Eleccion elegir(std::u16string_view ruta);

// Whether the path's last name has no extension ("Inbox", ".perfil").
bool sinExtension(std::u16string_view ruta);

// Whether a "From " line looks like the one that begins a message in a mailbox: a sender (an
// address, or a word such as MAILER-DAEMON or "-"), then a date with its time.
bool pareceSobre(std::string_view linea);

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
// last line. A reader keeps only what an unfinished record needs, and its work on a line grows
// with the line alone.
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

// The addresses of a mail header's list (From, To, Cc…), its name and colon left out, given a
// piece at a time as the header's lines come (a folded line with its leading blank): mailboxes
// ("Name <a@b>", "a@b (Name)", "a@b") and groups ("Name: a@b, c@d;") separated by commas.
// Display names, quoted strings (which may hold "," and "@"), comments and encoded words are
// passed over; of a mailbox only what is between "<" and ">" counts, or, without brackets, its
// last word. What it keeps is the mailbox being read, never the header.
class ListaDeDirecciones {
  public:
    explicit ListaDeDirecciones(Direcciones& direcciones) : direcciones_(direcciones) {}
    void agregar(std::string_view trozo);
    // The header is over: its last mailbox goes, and the next header starts afresh.
    void terminar();

  private:
    enum class Dentro { Nada, Comentario, Comillas };
    void caracter(char c);

    Direcciones& direcciones_;
    Dentro dentro_ = Dentro::Nada;
    int hondo_ = 0;          // comments within comments
    bool escape_ = false;    // a "\" in a comment or quoted string, its character still to come
    bool enAngulo_ = false;  // between "<" and ">"
    bool conAngulo_ = false;
    bool separado_ = false;  // white space since the last character of palabra_
    std::string palabra_;    // the address without brackets: its last word so far
    std::string angulo_;     // what stands between "<" and ">"
};

// One header's list at once.
void leerListaDeDirecciones(std::string_view lista, Direcciones& direcciones);

// Small decoders the readers share. A text that is not whole base64 (a character out of its
// alphabet, a group cut short) gives nothing; a quoted-printable "=" that begins no escape stands
// as it is.
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

// A UTF-16 file without a byte-order mark (some phones write vCards so), told by its first bytes:
// most are NUL, all on one side of each pair. Ninguna when it is not one.
texto::Marca utf16SinMarca(std::string_view inicio);

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
