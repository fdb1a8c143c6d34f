#!/usr/bin/python3
"""Asks an X window to close, as a window manager's close button or Alt+F4 does: a
WM_DELETE_WINDOW message (the X server here runs no window manager to send it).

Usage: cerrar_ventana.py WINDOW_ID
"""
import ctypes
import sys

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]


class MensajeCliente(ctypes.Structure):
    # XClientMessageEvent, padded to the size of an XEvent (24 longs).
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                ("relleno", ctypes.c_long * 12)]


pantalla = x11.XOpenDisplay(None)
if not pantalla:
    sys.exit("no display")
ventana = int(sys.argv[1], 0)
mensaje = MensajeCliente()
mensaje.type = 33  # ClientMessage
mensaje.window = ventana
mensaje.message_type = x11.XInternAtom(pantalla, b"WM_PROTOCOLS", 0)
mensaje.format = 32
mensaje.data[0] = x11.XInternAtom(pantalla, b"WM_DELETE_WINDOW", 0)
mensaje.data[1] = 0  # CurrentTime
x11.XSendEvent(pantalla, ventana, 0, 0, ctypes.byref(mensaje))
x11.XFlush(pantalla)
x11.XCloseDisplay(pantalla)
