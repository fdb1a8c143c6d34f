#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/opciones.h"
#include "cli/progreso.h"
#include "extract/estado.h"
#include "extract/puerto.h"

namespace tralmix::cli {

// The command's side of a run: the dialog answers INPUT..., message boxes go to stderr as
// "TITLE: TEXT", progress goes to the progress line, an interrupt stops the run, the list is
// opened only when asked, and a report's lines go to stderr after the run's messages.
class PuertoConsola final : public Puerto {
  public:
    PuertoConsola(Opciones opciones, std::FILE* errores, LineaProgreso& linea);

    // The state's folders, date, layout, exclusion lists, report and clean-up: the options'
    // where given, the system's otherwise.
    void prepararEstado(Estado& estado) const;

    std::u16string textoRuta() const override { return caja_; }
    void ponerTextoRuta(const std::u16string& texto) override { caja_ = texto; }
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override;
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) override;
    std::uintptr_t ventana() const override { return 0; }
    std::u16string abrirArchivo(const std::u16string& ruta) override;
    void progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) override;
    bool cancelado() const override;
    void informe(const Informe& informe) override;

    // The list the run finished and handed to the opener; empty until then.
    const std::u16string& listaAbierta() const { return listaAbierta_; }

    // The run's input "-" is this copy of standard input, which the messages name as such.
    void usarCopiaDeEntrada(const std::u16string& copia);
    // The inputs as the run takes them: standard input's place holds its copy once made.
    const std::vector<std::u16string>& entradas() const { return opciones_.entradas; }

  private:
    Opciones opciones_;
    std::FILE* errores_;
    LineaProgreso& linea_;
    std::u16string caja_;
    std::u16string listaAbierta_;
    std::u16string copia_;
};

}  // namespace tralmix::cli
