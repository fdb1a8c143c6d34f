#pragma once

// "Opciones de la lista…" in the Win32 window: the list's group size and separator, the files of
// addresses that must not receive, the clean-up mode and whether every run shows its summary,
// kept in the registry under HKEY_CURRENT_USER\Software\Tralmix.

#include <windows.h>

#include <string>

#include "ventana/opciones.h"

namespace tralmix {

// The key under HKEY_CURRENT_USER; the tests use one of their own.
inline constexpr wchar_t kClaveAjustes[] = L"Software\\Tralmix";

// What the registry holds; a missing or no longer valid value gives its default. The exclusion
// files are kept as listed, whether they still exist or not.
OpcionesVentana leerOpcionesGuardadas(const wchar_t* clave = kClaveAjustes);
void guardarOpciones(const OpcionesVentana& opciones, const wchar_t* clave = kClaveAjustes);

// The modal dialog over dueno; true, with opciones changed, when the user accepted valid values.
// Its "Agregar…" opens the Open dialog in carpeta.
bool mostrarDialogoOpciones(HWND dueno, HINSTANCE instancia, OpcionesVentana& opciones,
                            std::u16string carpeta);

}  // namespace tralmix
