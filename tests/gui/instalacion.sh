#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the desktop integration: the programs, the
# help file where the installed program looks for it, the desktop entry, icon and metadata.
# Usage: instalacion.sh BUILD_DIR SCRATCH_DIR WITH_HELP(0|1)
set -euo pipefail

construccion=$1
destino=$2
con_ayuda=$3

rm -rf "$destino"
cmake --install "$construccion" --prefix "$destino" > /dev/null

fallos=0
for f in bin/tralmix \
         share/applications/org.example.Tralmix.desktop \
         share/metainfo/org.example.Tralmix.metainfo.xml \
         share/icons/hicolor/32x32/apps/org.example.Tralmix.png \
         share/icons/hicolor/scalable/apps/org.example.Tralmix.svg; do
    if [[ ! -s $destino/$f ]]; then
        echo "missing: $f"
        fallos=1
    fi
done
[[ -x $destino/bin/tralmix ]] || { echo "bin/tralmix is not executable"; fallos=1; }
if [[ $con_ayuda == 1 && ! -s $destino/share/tralmix/tralmix.chm ]]; then
    echo "missing: share/tralmix/tralmix.chm"
    fallos=1
fi

escritorio=$destino/share/applications/org.example.Tralmix.desktop
grep -qx 'Name=Tralmix' "$escritorio" || { echo "desktop entry: wrong Name"; fallos=1; }
grep -qx 'Comment=Creador de lista de correos' "$escritorio" ||
    { echo "desktop entry: wrong Comment"; fallos=1; }
grep -q '<release version="2.00"' "$destino/share/metainfo/org.example.Tralmix.metainfo.xml" ||
    { echo "metadata: release 2.00 missing"; fallos=1; }

if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$escritorio" || fallos=1
fi
if command -v appstreamcli > /dev/null; then
    appstreamcli validate --no-net --explain \
        "$destino/share/metainfo/org.example.Tralmix.metainfo.xml" > "$destino/appstream.log" 2>&1 ||
        { cat "$destino/appstream.log"; fallos=1; }
fi

exit "$fallos"
