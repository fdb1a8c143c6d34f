#!/usr/bin/env bash
# Builds Tralmix and runs it on the bundled sample: the window where a display is available,
# the command otherwise (the list goes to the home folder and its path is printed).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-debian.sh
cmake --preset release >/dev/null
cmake --build --preset release
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x build/release/src/app/tralmix ]]; then
    exec build/release/src/app/tralmix
fi
exec build/release/src/cli/tralmix-cli samples/ejemplo.txt
