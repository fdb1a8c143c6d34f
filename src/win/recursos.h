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
#define IDC_ETIQUETA_EXCLUSIONES 1005
#define IDC_EXCLUSIONES 1006
#define IDC_AGREGAR 1007
#define IDC_QUITAR 1008
#define IDC_NOTA_EXCLUSIONES 1009
#define IDC_DEPURAR 1010
#define IDC_SIEMPRE_RESUMEN 1011
