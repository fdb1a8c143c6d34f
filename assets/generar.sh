#!/usr/bin/env bash
# Renders the artwork from its sources. Run after changing an SVG or the pointer drawing; the
# results are kept in the repository so that building needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
rsvg-convert -w 122 -h 114 logo.svg -o logo.png
rsvg-convert -w 32 -h 32 icono.svg -o icono.png
rsvg-convert -w 48 -h 48 icono.svg -o icono48.png
rsvg-convert -w 32 -h 32 ayuda.svg -o ayuda.png
python3 dibujar_cursor.py
