#include "ventana/opciones.h"

#include <algorithm>
#include <utility>

#include "extract/formatos/formatos.h"
#include "ventana/diseno.h"

namespace tralmix {

OpcionesVentana opcionesDe(const Estado& estado) {
    return {OpcionesLista{estado.porGrupo, estado.separador}, estado.exclusiones, estado.depurar,
            estado.pedirInforme};
}

void aplicarOpciones(const OpcionesVentana& opciones, Estado& estado) {
    estado.porGrupo = opciones.lista.porGrupo;
    estado.separador = opciones.lista.separador;
    estado.exclusiones = opciones.exclusiones;
    estado.depurar = opciones.depurar;
    estado.pedirInforme = opciones.siempreResumen;
}

void agregarExclusiones(std::vector<std::u16string>& lista,
                        const std::vector<std::u16string>& nuevas) {
    for (const std::u16string& ruta : nuevas) {
        if (!ruta.empty() && std::find(lista.begin(), lista.end(), ruta) == lista.end()) {
            lista.push_back(ruta);
        }
    }
}

AjustesDialogo ajustesAgregar(std::uintptr_t dueno, std::u16string carpeta) {
    AjustesDialogo ajustes;
    ajustes.initialDir = std::move(carpeta);
    ajustes.dialogTitle = vista::kTituloAgregar;
    ajustes.filter = std::u16string(u"Listas de direcciones (*.txt, *.ctt) | *.txt;*.ctt|") +
                     formatos::entradaFiltro();
    ajustes.filterIndex = 0;
    // Hide the read-only box (4), the file must exist (4096).
    ajustes.flags = 4 | 4096;
    ajustes.hWndParent = dueno;
    ajustes.abrir = true;
    ajustes.varios = true;
    return ajustes;
}

std::u16string textoResumen(const Informe& informe) {
    std::u16string texto;
    bool primera = true;
    for (const std::u16string& linea : lineasDelResumen(informe)) {
        texto += primera ? u"" : u"\r\n";
        texto += linea;
        primera = false;
    }
    return texto;
}

}  // namespace tralmix
