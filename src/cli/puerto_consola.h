#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "extract/puerto.h"

namespace tralmix::cli {

struct Opciones {
    std::u16string entrada;  // absolute path of INPUT
    std::optional<std::u16string> carpetaResultado;
    std::optional<std::u16string> carpetaTemporal;
    std::optional<Fecha> fecha;
    bool abrir = false;
};

// The command's side of a run: the dialog answers INPUT, message boxes go to stderr as
// "TITLE: TEXT", and the list is opened only when asked.
class PuertoConsola final : public Puerto {
  public:
    PuertoConsola(Opciones opciones, std::FILE* errores);

    std::u16string textoRuta() const override { return caja_; }
    void ponerTextoRuta(const std::u16string& texto) override { caja_ = texto; }
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override;
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) override;
    std::u16string carpetaPrograma() const override;
    std::uintptr_t ventana() const override { return 0; }
    void abrirArchivo(const std::u16string& ruta) override;
    Fecha hoy() const override;
    std::u16string carpetaResultado() const override;
    std::u16string carpetaTemporal() const override;

    // The list the run finished and handed to the opener; empty until then.
    const std::u16string& listaAbierta() const { return listaAbierta_; }

  private:
    Opciones opciones_;
    std::FILE* errores_;
    std::u16string caja_;
    std::u16string listaAbierta_;
};

// Today's local date.
Fecha fechaLocal();
// Parses YYYY-MM-DD into a valid calendar date.
std::optional<Fecha> leerFecha(std::string_view texto);

}  // namespace tralmix::cli
