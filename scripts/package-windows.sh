#!/usr/bin/env bash
# Builds the Windows programs for x86-64 and i686 and packs each with the help (compiled and as HTML), the
# LÉAME and the licence into build/tralmix-VERSION-win64.zip and build/tralmix-VERSION-win32.zip (VERSION: project()),
# and the x86-64 programs into the per-user installer build/paquetes/tralmix-VERSION-x86_64.msi
# (packaging/windows/msi.sh). The 64-bit zip is then unpacked into a folder with a non-ASCII name
# and its command run under Wine on an input named in Greek and Chinese.
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
        "build/$preset/src/ventana/tralmix.chm" "build/$preset/LÉAME.txt" \
        "build/$preset/LICENCIA.txt" "$raiz/$nombre/"
    # The same help as HTML, for a system with no program for the compiled help.
    mkdir "$raiz/$nombre/ayuda"
    cp docs/help/*.html docs/help/*.css "$raiz/$nombre/ayuda/"
    # Names flagged as UTF-8 for Windows' extractor; the last commit's time on every entry.
    /usr/bin/python3 scripts/zip-utf8.py "$raiz/$nombre" "build/$nombre.zip" \
        "$(git log -1 --format=%ct 2>/dev/null || echo 0)"
    echo "build/$nombre.zip"
done
rm -f build/paquetes/tralmix-*-x86_64.msi
packaging/windows/msi.sh build/windows "$version" "build/paquetes/tralmix-$version-x86_64.msi"
echo "build/paquetes/tralmix-$version-x86_64.msi"
tests/win/paquete_e2e.sh "build/tralmix-$version-win64.zip" tests/data/golden
