#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "extract/estado.h"
#include "extract/proceso.h"
#include "extract/puerto.h"
#include "util/archivos.h"

namespace tralmix {

// "Mails_YYYYMMDD.txt" in the given folder.
std::u16string rutaResultado(std::u16string_view carpeta, const Fecha& fecha);

// Lays the elements out in groups of 48 (trimmed first address, blank line, the others joined by
// ", ", two blank lines), each line ended by CR LF, UTF-8. The bytes go to destino in pieces.
void componerLista(const std::vector<std::u16string>& lineas,
                   const std::function<void(std::string_view)>& destino);
std::string componerLista(const std::vector<std::u16string>& lineas);
// The same layout from elements already in UTF-8.
void componerListaUtf8(std::span<const std::string_view> lineas,
                       const std::function<void(std::string_view)>& destino);

// The result stage shared by both extraction paths. preparar() builds the path from today's date
// and creates the (not yet visible) file; terminar() writes the sorted list, and only when all of
// it reached the disk announces it, opens it and empties the path box.
class EtapaResultado {
  public:
    // False when the file cannot be created; the user has been told why.
    bool preparar(Puerto& puerto);
    Desenlace terminar(const Estado& estado, Puerto& puerto, std::u16string_view cierre);
    // The same in two steps, for a list whose elements are already in UTF-8 (in the order of
    // estado.lineas): escribir() hands the bytes to the file, anunciar() does the rest.
    void escribir(std::span<const std::string_view> lineasUtf8);
    Desenlace anunciar(Puerto& puerto, std::u16string_view cierre);

    const std::u16string& ruta() const { return ruta_; }

  private:
    Desenlace informarFallo(Puerto& puerto, const archivos::Fallo& fallo);

    std::u16string ruta_;
    archivos::EscritorAtomico escritor_;
};

}  // namespace tralmix
