#pragma once

// Resource numbers shared by the resource script and the window.

#define IDI_TRALMIX 1
#define IDI_AYUDA 2
#define IDB_LOGO 3
#define IDC_MANO 4
