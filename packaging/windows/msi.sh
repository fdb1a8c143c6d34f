#!/usr/bin/env bash
# Writes the per-user installer (packaging/windows/tralmix.wxs) for the x86-64 programs of a
# Windows build with wixl: the programs, the HTML help, LÉAME and LICENCIA.
#
# Usage: msi.sh BUILD_DIR VERSION OUT.msi   (VERSION as in project(), e.g. 2.00)
set -euo pipefail
construccion=$(cd "$1" && pwd)
version=$2
mkdir -p "$(dirname "$3")"
salida=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
fuentes=$(cd "$(dirname "$0")/../.." && pwd)

# Windows Installer compares versions as numbers, major.minor.build: "2.00" is 2.0.0.
IFS=. read -r mayor menor parche _ <<<"$version"
version_msi=$((10#$mayor)).$((10#${menor:-0})).$((10#${parche:-0}))

# wixl takes the files by names relative to the folder it runs in: they are laid out there as
# they are installed, the help pages (the same ones the zip carries) listed for the .wxs.
raiz=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-msi.XXXXXX")
trap 'rm -rf "$raiz"' EXIT
cp "$construccion/src/win/tralmix.exe" "$construccion/src/cli/tralmix-cli.exe" \
    "$construccion/LÉAME.txt" "$construccion/LICENCIA.txt" "$fuentes/assets/icono.ico" "$raiz/"
mkdir "$raiz/ayuda"
{
    echo '<?xml version="1.0" encoding="utf-8"?>'
    echo '<Include>'
    for pagina in "$fuentes"/docs/help/*.html "$fuentes"/docs/help/*.css; do
        nombre=$(basename "$pagina")
        cp "$pagina" "$raiz/ayuda/"
        echo "  <File Id=\"ayuda_$nombre\" Name=\"$nombre\" Source=\"ayuda/$nombre\"/>"
    done
    echo '</Include>'
} >"$raiz/ayuda.wxi"

cd "$raiz"
wixl --arch x64 -D Version="$version_msi" -I "$raiz" -o "$salida" \
    "$fuentes/packaging/windows/tralmix.wxs"
