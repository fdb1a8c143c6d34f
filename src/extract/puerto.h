#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "extract/informe.h"
#include "extract/mensajes.h"
#include "util/avance.h"

namespace tralmix {

// Message box styles, as their numbers: the icon shown.
enum class Estilo : int {
    Ninguno = 0,
    Critico = 16,
    Exclamacion = 48,
    Informacion = 64,
};

// Settings the run gives the Open dialog.
struct AjustesDialogo {
    std::u16string initialDir;
    std::u16string dialogTitle;
    std::u16string filter;
    std::int16_t filterIndex = 0;
    std::int32_t flags = 0;
    std::uintptr_t hWndParent = 0;
    bool abrir = true;  // Open rather than Save
    // Several files may be chosen at once (the flags stay as they are; each dialog adds its own
    // way of asking for several).
    bool varios = false;
};

struct RespuestaDialogo {
    bool elegido = false;  // false: cancelled
    std::u16string ruta;   // the chosen full path when elegido (the first, when several)
    // Every chosen path when several were chosen; empty or one path: the run on ruta alone.
    std::vector<std::u16string> rutas = {};
};

// What a processing run asks of the person using it, and whether to go on. The window implements
// it with real widgets, the command with its arguments and stderr, the tests with fakes. The
// system around the run (folders, date) is in the state, filled from util/entorno.h.
class Puerto {
  public:
    virtual ~Puerto() = default;

    // The path box (txtFile01).
    virtual std::u16string textoRuta() const = 0;
    virtual void ponerTextoRuta(const std::u16string& texto) = 0;

    // A modal message box with an OK button; returns when it is closed. CR LF separates lines.
    virtual void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) = 0;

    // The Open (or Save) dialog with the given settings.
    virtual RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) = 0;

    // The window that owns dialogs and boxes; 0 when there is none.
    virtual std::uintptr_t ventana() const = 0;

    // Shows the finished list: opens it with the desktop's default handler. Returns why that
    // failed, as the desktop told it (the run then says so); empty when it opened.
    virtual std::u16string abrirArchivo(const std::u16string& ruta) = 0;

    // How far the run is: hecho of total units (bytes while reading, elements while sorting and
    // writing) in the given phase. Called from the thread that runs, often; by default nothing.
    virtual void progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) {
        (void)fase;
        (void)hecho;
        (void)total;
    }
    // Asked at cheap points of a run; true stops it as Desenlace::Interrumpido, before the list
    // replaces anything. May be called from the thread that runs.
    virtual bool cancelado() const { return false; }
    // The report of a run that made one (several inputs, exclusion lists, or asked for), at its
    // very end, after its messages: resumen(informe) is the line to show. By default nothing.
    virtual void informe(const Informe& informe) { (void)informe; }
};

// A long step's progress told to the port as one phase of the run, and its stop asked of it.
class AvanceDelPuerto final : public Avance {
  public:
    AvanceDelPuerto(Puerto& puerto, Fase fase) : puerto_(puerto), fase_(fase) {}
    bool seguir(std::uint64_t hecho, std::uint64_t total) override {
        puerto_.progreso(fase_, hecho, total);
        return !puerto_.cancelado();
    }

  private:
    Puerto& puerto_;
    Fase fase_;
};

}  // namespace tralmix
