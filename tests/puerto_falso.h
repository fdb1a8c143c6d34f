#pragma once

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "extract/estado.h"
#include "extract/proceso.h"
#include "extract/puerto.h"

namespace tralmix::prueba {

struct Mensaje {
    std::u16string texto;
    Estilo estilo;
    std::u16string titulo;
};

// A port that records what the run asks of the window and answers the dialog as told.
class PuertoFalso : public Puerto {
  public:
    std::u16string caja;
    std::vector<Mensaje> mensajes;
    std::vector<AjustesDialogo> dialogos;
    std::vector<std::u16string> abiertos;
    RespuestaDialogo respuesta{false, {}};
    std::u16string noAbre;  // why the desktop's opener fails; empty: it opens
    // The folders and date the tests give the state (preparar).
    std::u16string programa = u"/opt/tralmix";
    std::u16string resultado;
    std::u16string temporal;
    Fecha fecha{2005, 3, 5};
    // Box texts seen when messages were shown: the box is part of what the user sees.
    std::vector<std::u16string> cajaAlMostrar;
    // The phases the run reported, each once in the order first seen; the run is stopped from the
    // moment it reports cancelarEn.
    std::vector<Fase> fases;
    std::optional<Fase> cancelarEn;

    std::u16string textoRuta() const override { return caja; }
    void ponerTextoRuta(const std::u16string& texto) override { caja = texto; }
    void mensaje(std::u16string_view texto, Estilo estilo, std::u16string_view titulo) override {
        mensajes.push_back({std::u16string(texto), estilo, std::u16string(titulo)});
        cajaAlMostrar.push_back(caja);
    }
    RespuestaDialogo mostrarDialogo(const AjustesDialogo& ajustes) override {
        dialogos.push_back(ajustes);
        return respuesta;
    }
    std::uintptr_t ventana() const override { return 0x1234; }
    std::u16string abrirArchivo(const std::u16string& ruta) override {
        abiertos.push_back(ruta);
        return noAbre;
    }
    void progreso(Fase fase, std::uint64_t hecho, std::uint64_t total) override {
        if (hecho > total && total != 0) {
            haciaAtras = true;  // more done than there is: a fault of the counting
        }
        if (fases.empty() || fases.back() != fase) {
            fases.push_back(fase);
        }
    }
    bool cancelado() const override {
        return cancelarEn && std::find(fases.begin(), fases.end(), *cancelarEn) != fases.end();
    }
    bool haciaAtras = false;
    std::vector<Informe> informes;
    void informe(const Informe& i) override { informes.push_back(i); }

    // The state's folders and date as the owner of a run sets them before it.
    void preparar(Estado& estado) const {
        cargarCarpetaTemporal(estado, temporal);
        estado.carpetaPrograma = programa;
        estado.carpetaResultado = resultado;
        estado.fecha = fecha;
    }
};

// A fresh folder under the test temp dir, removed afterwards.
class CarpetaTemporal {
  public:
    CarpetaTemporal();
    ~CarpetaTemporal();
    CarpetaTemporal(const CarpetaTemporal&) = delete;
    CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;

    const std::filesystem::path& ruta() const { return ruta_; }
    std::u16string u16() const;
    std::filesystem::path escribir(const std::string& nombre, std::string_view bytes) const;

  private:
    std::filesystem::path ruta_;
};

std::string leer(const std::filesystem::path& ruta);
// Bytes as a test failure shows them: line ends and other controls written out.
std::string visible(std::string_view bytes);
std::u16string u16(std::string_view utf8);
std::string u8(std::u16string_view texto);

}  // namespace tralmix::prueba
