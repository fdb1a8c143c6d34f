#!/usr/bin/env bash
# Installs what the browser edition needs beside the usual build: Debian's Emscripten, Chromium
# for the tests, Node and npm (npm only where the installed Node brings none of its own).
set -euo pipefail
cd "$(dirname "$0")/.."
extra=(emscripten chromium nodejs)
if ! command -v npm >/dev/null ||
    dpkg-query -W -f='${Status}' npm 2>/dev/null | grep -q 'install ok installed'; then
    extra+=(npm)
fi
./scripts/setup-debian.sh "${extra[@]}"
