// The list written completely or not at all, the working file kept, and the mark by which this
// program knows, later, the files it wrote: once for every system, over archivos_sistema.h.

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "util/archivos.h"
#include "util/archivos_sistema.h"
#include "util/texto.h"

namespace tralmix::archivos {
namespace {

using sistema::Comun;
using sistema::Manejador;
using sistema::Uso;

// ---- The writer's mark ----
//
// What this program writes carries, in the fraction of a second of its last write's time, a
// value computed from the file's own number on its disk, its size, the whole seconds of that
// time and what the file is for. No other program writes such a time; a copy is another file,
// and any later write by someone else sets a time of its own, so the mark proves that the file
// is one this program made and nobody has written since. Both systems keep that time to 100 ns
// or finer; a disk that keeps it coarser (FAT) keeps no mark, so nothing there is ever taken
// for ours.

constexpr std::int64_t kSegundo = 1'000'000'000;
constexpr std::int64_t kPaso = 100;

std::uint64_t mezclar(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// The time of the last write with the mark for uso in place of its fraction of a second.
std::int64_t conMarca(const Huella& h, Uso uso) {
    std::int64_t segundos = h.escrito / kSegundo;
    if (h.escrito % kSegundo < 0) {
        --segundos;
    }
    std::uint64_t x = uso == Uso::Oculto ? 0x6F63756C746FULL : 0x74726162616AULL;
    for (const std::uint64_t v :
         {h.identidad.nodo, h.tamano, static_cast<std::uint64_t>(segundos)}) {
        x = mezclar(x ^ v);
    }
    return segundos * kSegundo + static_cast<std::int64_t>(x % (kSegundo / kPaso)) * kPaso;
}

bool marcado(const Huella& h, Uso uso) {
    return h.identidad.valida && h.escrito == conMarca(h, uso);
}

// Marks the file after a write. A mark that does not take only makes the file one a later run
// leaves alone.
void marcar(Manejador m, Uso uso) {
    sistema::Info info;
    if (!sistema::info(m, info)) {
        sistema::ponerEscrito(m, conMarca(info.huella, uso));
    }
}

// Writes unless an earlier write failed, then marks; the first failure is kept and answered from
// then on.
Fallo escribirMarcando(Manejador m, Uso uso, Fallo& fallo, std::string_view bytes) {
    if (fallo) {
        return fallo;
    }
    if (m == sistema::kNinguno) {
        fallo = sistema::fallo(Comun::NoAbierto);
    } else if (auto f = sistema::escribir(m, bytes)) {
        fallo = std::move(f);
    } else {
        marcar(m, uso);
    }
    return fallo;
}

// A file of ours that nobody changed since, of one name, and not the file evitar.
bool esNuestro(const sistema::Info& info, Uso uso, const Identidad& evitar) {
    return info.normal && info.propio && info.nombres == 1 && marcado(info.huella, uso) &&
           !(evitar.valida && info.huella.identidad.mismoArchivo(evitar));
}

std::u16string sufijoAleatorio() {
    static constexpr char16_t kLetras[] = u"abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device azar;
    std::uniform_int_distribution<std::size_t> dist(0, std::size(kLetras) - 2);
    std::u16string s(8, u'x');
    for (char16_t& c : s) {
        c = kLetras[dist(azar)];
    }
    return s;
}

// A new file named base + "." + eight random letters or digits, held from the start.
Fallo crearUnico(std::u16string_view base, Uso uso, Manejador& m, std::u16string& ruta) {
    for (int intento = 0; intento < 100; ++intento) {
        std::u16string candidato(base);
        candidato += u'.';
        candidato += sufijoAleatorio();
        bool ocupado = false;
        auto f = sistema::crear(candidato, uso, m, ocupado);
        if (!f) {
            ruta = std::move(candidato);
            return {};
        }
        if (!ocupado) {
            return f;
        }
    }
    return sistema::fallo(Comun::SinNombreLibre);
}

// Hidden lists that runs ended by force left beside the target: each is removed only while this
// run holds it, so a live writer's (which holds its own) and one another program holds stay.
void quitarOcultosAbandonados(std::u16string_view carpeta, std::u16string_view nombre,
                              const Identidad& evitar) {
    std::error_code error;
    const std::filesystem::path donde =
        carpeta.empty() ? std::filesystem::path(".") : aRuta(carpeta);
    for (const auto& entrada : std::filesystem::directory_iterator(donde, error)) {
        const std::u16string suyo = desdeRuta(entrada.path().filename());
        if (!esOcultoDeEscritor(suyo, nombre)) {
            continue;
        }
        const std::u16string ruta = std::u16string(carpeta) + suyo;
        Manejador m = sistema::kNinguno;
        sistema::Info info;
        if (sistema::abrirExistente(ruta, true, m)) {
            continue;
        }
        if (!sistema::info(m, info) && esNuestro(info, Uso::Oculto, evitar) &&
            sistema::retener(m)) {
            sistema::quitar(m, ruta);
        }
        sistema::cerrar(m);
    }
}

// "lista.txt" becomes "lista (n).txt"; a name without an extension takes " (n)" at its end.
std::u16string alternativa(std::u16string_view ruta, int n) {
    const std::size_t nombre = sistema::inicioNombre(ruta);
    std::size_t punto = ruta.rfind(u'.');
    if (punto == std::u16string_view::npos || punto <= nombre) {
        punto = ruta.size();
    }
    std::u16string salida(ruta.substr(0, punto));
    salida += u" (" + texto::desdeUtf8OReemplazo(std::to_string(n)) + u")";
    salida += ruta.substr(punto);
    return salida;
}

// What a working path holds.
enum class Lugar {
    Tomado,    // a new file, or an earlier copy of ours, is open to be written
    Retenido,  // a file someone else holds: another run, or a program that locks it
    Ajeno,     // something else: left alone
    Fallido,   // nothing could be created there
};

Lugar tomar(std::u16string_view ruta, const Identidad& evitar, Manejador& m, Fallo& fallo) {
    bool ocupado = false;
    auto f = sistema::crear(ruta, Uso::Privado, m, ocupado);
    if (!f) {
        return Lugar::Tomado;
    }
    if (!ocupado) {
        fallo = std::move(f);
        return Lugar::Fallido;
    }
    // Examined before anything in it is touched. A file of the user's that someone holds is
    // left alone as well, but only for this run: a run that has just made its copy holds it
    // before it bears the mark.
    sistema::Info info;
    f = sistema::abrirExistente(ruta, false, m);
    if (!f) {
        const bool leida = !sistema::info(m, info);
        const bool libre = sistema::retener(m);
        if (leida && libre && esNuestro(info, Uso::Privado, evitar)) {
            if (auto v = sistema::vaciar(m)) {
                sistema::cerrar(m);
                fallo = std::move(v);
                return Lugar::Fallido;
            }
            return Lugar::Tomado;
        }
        sistema::cerrar(m);
        return leida && !libre && info.normal && info.propio ? Lugar::Retenido : Lugar::Ajeno;
    }
    // Not to be opened: held for writing by another run (Windows), or a link, a folder, a FIFO
    // without a reader, someone else's file.
    return sistema::enUso(f) && !sistema::info(ruta, true, info) && info.normal ? Lugar::Retenido
                                                                                : Lugar::Ajeno;
}

// Names tried beside a working path taken by something else, before a random one.
constexpr int kAlternativas = 20;

}  // namespace

bool esOcultoDeEscritor(std::u16string_view nombre, std::u16string_view nombreDestino) {
    constexpr std::size_t kSufijo = 8;
    if (nombre.size() != nombreDestino.size() + kSufijo + 2 || nombre.front() != u'.' ||
        nombre[nombreDestino.size() + 1] != u'.') {
        return false;
    }
    auto digito = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    for (std::size_t i = 0; i < nombreDestino.size(); ++i) {
        const char16_t c = nombre[i + 1];
        if (digito(nombreDestino[i]) ? !digito(c) : c != nombreDestino[i]) {
            return false;
        }
    }
    return std::all_of(nombre.end() - kSufijo, nombre.end(),
                       [&](char16_t c) { return digito(c) || (c >= u'a' && c <= u'z'); });
}

// ---- EscritorAtomico ----

EscritorAtomico::~EscritorAtomico() {
    descartar();
}

void EscritorAtomico::descartar() {
    if (manejador_ != sistema::kNinguno && !temporal_.empty()) {
        sistema::quitar(manejador_, temporal_);
    }
    sistema::cerrar(manejador_);
    temporal_.clear();
}

Fallo EscritorAtomico::abrir(std::u16string_view destino, const Identidad& evitar) {
    descartar();
    fallo_ = {};
    if (!rutaUsable(destino)) {
        fallo_ = sistema::fallo(Comun::RutaNoValida);
        return fallo_;
    }
    destino_ = std::u16string(destino);
    const std::size_t corte = sistema::inicioNombre(destino);
    const std::u16string_view carpeta = destino.substr(0, corte);
    const std::u16string_view nombre = destino.substr(corte);
    quitarOcultosAbandonados(carpeta, nombre, evitar);
    // Beside the target: the same file system, so the final rename replaces it in one step.
    std::u16string base(carpeta);
    base += u'.';
    base += nombre;
    fallo_ = crearUnico(base, Uso::Oculto, manejador_, temporal_);
    return fallo_;
}

Fallo EscritorAtomico::escribir(std::string_view bytes) {
    return escribirMarcando(manejador_, Uso::Oculto, fallo_, bytes);
}

Fallo EscritorAtomico::confirmar() {
    if (!fallo_ && manejador_ == sistema::kNinguno) {
        fallo_ = sistema::fallo(Comun::NoAbierto);
    }
    if (!fallo_) {
        fallo_ = sistema::volcar(manejador_);
    }
    if (!fallo_) {
        sistema::mostrar(manejador_);
        // Still held, so that no other run takes it for abandoned before it has its name.
        fallo_ = sistema::renombrar(temporal_, destino_);
    }
    if (fallo_) {
        descartar();
        return fallo_;
    }
    temporal_.clear();
    fallo_ = sistema::cerrar(manejador_);
    return fallo_;
}

// ---- ArchivoTrabajo ----

ArchivoTrabajo::~ArchivoTrabajo() {
    quitarSiSobra();
}

void ArchivoTrabajo::quitarSiSobra() {
    // Still open here: never completed, or made only for this run. Removed while still held,
    // so that no other run takes it up in between.
    if (manejador_ != sistema::kNinguno) {
        sistema::quitar(manejador_, ruta_);
        sistema::cerrar(manejador_);
    }
}

Fallo ArchivoTrabajo::crear(std::u16string_view ruta, const Identidad& evitar) {
    fallo_ = {};
    if (manejador_ != sistema::kNinguno && ruta == ruta_) {
        // Everything written so far goes; the file stays what it was, and held.
        fallo_ = sistema::vaciar(manejador_);
        if (!fallo_) {
            marcar(manejador_, Uso::Privado);
        }
        return fallo_;
    }
    quitarSiSobra();
    ruta_.clear();
    transitorio_ = false;
    if (!rutaUsable(ruta)) {
        fallo_ = sistema::fallo(Comun::RutaNoValida);
        return fallo_;
    }
    for (int n = 1; n <= kAlternativas; ++n) {
        const std::u16string candidato = n == 1 ? std::u16string(ruta) : alternativa(ruta, n);
        switch (tomar(candidato, evitar, manejador_, fallo_)) {
            case Lugar::Tomado:
                ruta_ = candidato;
                marcar(manejador_, Uso::Privado);
                return {};
            case Lugar::Retenido:
                // That run keeps its copy; this one writes a file of its own beside it.
                fallo_ = crearUnico(candidato, Uso::Privado, manejador_, ruta_);
                transitorio_ = !fallo_;
                return fallo_;
            case Lugar::Fallido:
                return fallo_;
            case Lugar::Ajeno:
                break;
        }
    }
    fallo_ = crearUnico(ruta, Uso::Privado, manejador_, ruta_);
    return fallo_;
}

Fallo ArchivoTrabajo::escribir(std::string_view bytes) {
    return escribirMarcando(manejador_, Uso::Privado, fallo_, bytes);
}

Fallo ArchivoTrabajo::cerrar() {
    if (manejador_ == sistema::kNinguno) {
        return fallo_;
    }
    if (fallo_ || transitorio_) {
        quitarSiSobra();
        return fallo_;
    }
    fallo_ = sistema::cerrar(manejador_);
    return fallo_;
}

}  // namespace tralmix::archivos
