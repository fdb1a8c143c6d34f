#!/usr/bin/env python3
"""Packs FOLDER (the folder itself, with everything under it) into ZIP for Windows.

Every name is stored as UTF-8 with the general-purpose flag bit 11 set, so that Windows' own
extractor shows LÉAME.txt and not L├ëAME.txt; Info-ZIP's zip stores the bytes without the flag.
Entries are sorted and carry the time EPOCH (seconds) and no Unix extras, so the same sources
give the same archive.

Usage: zip-utf8.py FOLDER ZIP EPOCH
"""
import os
import sys
import time
import zipfile

# Unix modes in the high half, the folder attribute for Windows in the low one. Made "on Unix":
# Debian's unzip then keeps the UTF-8 bytes instead of translating them from an OEM code page.
DIRECTORIO = (0o40755 << 16) | 0x10
ARCHIVO = 0o100644 << 16


def entrada(nombre, fecha, atributos):
    info = zipfile.ZipInfo(nombre, fecha)
    info.create_system = 3
    info.external_attr = atributos
    info.flag_bits |= 0x800  # the name is UTF-8
    return info


def main():
    carpeta, destino, epoca = sys.argv[1], sys.argv[2], int(sys.argv[3])
    # The zip format cannot hold a time before 1980.
    fecha = time.gmtime(max(epoca, 315532800))[:6]
    base = os.path.dirname(os.path.abspath(carpeta))
    with zipfile.ZipFile(destino, "w", zipfile.ZIP_DEFLATED) as z:
        for raiz, carpetas, archivos in os.walk(carpeta):
            carpetas.sort()
            relativa = os.path.relpath(raiz, base).replace(os.sep, "/")
            z.writestr(entrada(relativa + "/", fecha, DIRECTORIO), b"")
            for nombre in sorted(archivos):
                with open(os.path.join(raiz, nombre), "rb") as f:
                    datos = f.read()
                info = entrada(relativa + "/" + nombre, fecha, ARCHIVO)
                info.compress_type = zipfile.ZIP_DEFLATED
                z.writestr(info, datos)


if __name__ == "__main__":
    main()
