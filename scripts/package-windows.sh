#!/usr/bin/env bash
# Builds the Windows programs for x86-64 and i686 and packs each with the help (compiled and as HTML) and the
# LÉAME into build/tralmix-VERSION-win64.zip and build/tralmix-VERSION-win32.zip (VERSION: project()). The 64-bit package is
# then unpacked into a folder with a non-ASCII name and its command run under Wine on an input
# named in Greek and Chinese.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-windows.sh

version=
for par in windows:win64 windows-x86:win32; do
    preset=${par%%:*}
    sufijo=${par#*:}
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target tralmix tralmix-cli tralmix_ayuda
    version=$(sed -n 's/^#define TRALMIX_VERSION "\(.*\)"$/\1/p' "build/$preset/generado/version.h")
    nombre=tralmix-$version-$sufijo
    raiz=build/paquete-$sufijo
    rm -rf "$raiz" "build/$nombre.zip"
    mkdir -p "$raiz/$nombre"
    cp "build/$preset/src/win/tralmix.exe" "build/$preset/src/cli/tralmix-cli.exe" \
        "build/$preset/src/ventana/tralmix.chm" "build/$preset/LÉAME.txt" "$raiz/$nombre/"
    # The same help as HTML, for a system with no program for the compiled help.
    mkdir "$raiz/$nombre/ayuda"
    cp docs/help/*.html docs/help/*.css "$raiz/$nombre/ayuda/"
    # Names flagged as UTF-8 for Windows' extractor; the last commit's time on every entry.
    /usr/bin/python3 scripts/zip-utf8.py "$raiz/$nombre" "build/$nombre.zip" \
        "$(git log -1 --format=%ct 2>/dev/null || echo 0)"
    echo "build/$nombre.zip"
done
tests/win/paquete_e2e.sh "build/tralmix-$version-win64.zip" tests/data/golden
