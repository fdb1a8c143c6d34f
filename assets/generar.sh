#!/usr/bin/env bash
# Renders the artwork from its sources. Run after changing an SVG or the pointer drawing; the
# results are kept in the repository so that building needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
../scripts/setup-debian.sh librsvg2-bin icoutils python3
rsvg-convert -w 122 -h 114 logo.svg -o logo.png
rsvg-convert -w 32 -h 32 icono.svg -o icono.png
rsvg-convert -w 48 -h 48 icono.svg -o icono48.png
rsvg-convert -w 32 -h 32 ayuda.svg -o ayuda.png
python3 dibujar_cursor.py
# The same artwork in the forms the Windows resources take: the icons, the logo as a 24-bit
# bitmap, and the hand pointer as a cursor with its hot spot at (7, 1).
convert icono.png -type TrueColor icono.ico
tmp=$(mktemp -d)
convert ayuda.png -colors 256 PNG8:"$tmp/ayuda.png"
icotool -c -o ayuda.ico "$tmp/ayuda.png"
convert logo.png -alpha off -type TrueColor BMP3:logo.bmp
convert mano.xbm \( mano_mascara.xbm -negate \) -alpha off -compose CopyOpacity -composite \
    PNG32:"$tmp/mano.png"
icotool -c --cursor --hotspot-x=7 --hotspot-y=1 -o mano.cur "$tmp/mano.png"
rm -rf "$tmp"
