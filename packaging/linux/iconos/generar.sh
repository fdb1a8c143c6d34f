#!/usr/bin/env bash
# Renders the program's icon in the hicolor theme's sizes for the Debian package (32 and 48 are
# assets/icono.png and assets/icono48.png). Run after changing assets/icono.svg; the results are
# kept in the repository so that building needs no SVG renderer (rsvg-convert: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
../../../scripts/setup-debian.sh librsvg2-bin
for n in 16 24 64 128 256; do
    rsvg-convert -w "$n" -h "$n" ../../../assets/icono.svg -o "${n}x$n.png"
done
