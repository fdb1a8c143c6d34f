#pragma once

// Resource numbers shared by the resource script and the window.

#define IDI_TRALMIX 1
#define IDI_AYUDA 2
#define IDB_LOGO 3
#define IDC_MANO 4

// "Opciones de la lista": the dialog and its controls.
#define IDD_OPCIONES 10
#define IDC_POR_GRUPO 1001
#define IDC_SEPARADOR 1002
#define IDC_RESTABLECER 1003
#define IDC_NOTA 1004
