#!/usr/bin/python3
"""Reads the version block of each program file back and compares it with what it must say."""
import sys

import pefile

ESPERADO = {
    "FileVersion": "2.00",
    "ProductVersion": "2.00",
    "FileDescription": "Creador de lista de correos",
    "Comments": "MSN Add-In",
    "ProductName": "Tralmix",
    "InternalName": "Tralmix",
}
ESPANOL_UNICODE = "0c0a04b0"  # Spanish (modern sort), UTF-16 strings

fallos = 0


def fallar(texto):
    global fallos
    fallos += 1
    print("FAIL", texto)


for ruta in sys.argv[1:]:
    nombre = ruta.rsplit("/", 1)[-1]
    pe = pefile.PE(ruta)
    fijo = pe.VS_FIXEDFILEINFO[0]
    version = (fijo.FileVersionMS >> 16, fijo.FileVersionMS & 0xFFFF,
               fijo.FileVersionLS >> 16, fijo.FileVersionLS & 0xFFFF)
    producto = (fijo.ProductVersionMS >> 16, fijo.ProductVersionMS & 0xFFFF,
                fijo.ProductVersionLS >> 16, fijo.ProductVersionLS & 0xFFFF)
    if version != (2, 0, 0, 0) or producto != (2, 0, 0, 0):
        fallar(f"{nombre}: fixed versions {version} {producto}, expected 2,0,0,0")
    tablas = [t for info in pe.FileInfo[0] if info.Key == b"StringFileInfo"
              for t in info.StringTable]
    if [t.LangID.decode().lower() for t in tablas] != [ESPANOL_UNICODE]:
        fallar(f"{nombre}: string blocks {[t.LangID for t in tablas]}, expected {ESPANOL_UNICODE}")
        continue
    valores = {k.decode(): v.decode() for k, v in tablas[0].entries.items()}
    for clave, valor in ESPERADO.items():
        if valores.get(clave) != valor:
            fallar(f"{nombre}: {clave} is {valores.get(clave)!r}, expected {valor!r}")
    if valores.get("OriginalFilename") != nombre:
        fallar(f"{nombre}: OriginalFilename is {valores.get('OriginalFilename')!r}")
    subsistema = pe.OPTIONAL_HEADER.Subsystem
    esperado = 3 if nombre == "tralmix-cli.exe" else 2  # console, GUI
    if subsistema != esperado:
        fallar(f"{nombre}: subsystem {subsistema}, expected {esperado}")
    # Statically linked: only the system's own libraries are imported.
    propias = [e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT
               if e.dll.decode().lower().startswith(("libstdc++", "libgcc", "libwinpthread"))]
    if propias:
        fallar(f"{nombre}: needs {propias} beside it")
    print(f"{nombre}: {valores.get('FileVersion')} {valores.get('FileDescription')!r}, "
          f"subsystem {subsistema}, imports "
          + " ".join(sorted(e.dll.decode() for e in pe.DIRECTORY_ENTRY_IMPORT)))

print(f"version: {len(sys.argv) - 1} files, {fallos} failures")
sys.exit(1 if fallos else 0)
