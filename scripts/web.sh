#!/usr/bin/env bash
# Builds the browser edition and serves it on 127.0.0.1 (PORT, default 8080) until Ctrl-C; opens
# it where a desktop is running. build/web/sitio can be copied to any static host as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-web.sh
export NODE_PATH=/usr/share/nodejs
cmake --preset web
cmake --build --preset web
port=${PORT:-8080}
node scripts/servidor-web.mjs build/web/sitio "$port" &
servidor=$!
trap 'kill "$servidor" 2>/dev/null' EXIT INT TERM
url="http://127.0.0.1:$port/"
sleep 0.5
echo "Tralmix en el navegador: $url (Ctrl-C para terminar)"
if [[ -n ${DISPLAY:-}${WAYLAND_DISPLAY:-} ]] && command -v xdg-open >/dev/null; then
    xdg-open "$url" >/dev/null 2>&1 || true
fi
wait "$servidor"
