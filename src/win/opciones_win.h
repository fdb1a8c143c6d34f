#pragma once

// "Opciones de la lista…" in the Win32 window: the list's group size and separator, kept in the
// registry under HKEY_CURRENT_USER\Software\Tralmix.

#include <windows.h>

#include <cstddef>
#include <string>

#include "extract/disposicion.h"

namespace tralmix {

// What the registry holds; a missing or no longer valid value gives its default.
OpcionesLista leerOpcionesGuardadas();
void guardarOpciones(const OpcionesLista& opciones);

// The modal dialog over dueno; true, with opciones changed, when the user accepted valid values.
bool mostrarDialogoOpciones(HWND dueno, HINSTANCE instancia, OpcionesLista& opciones);

}  // namespace tralmix
