#!/usr/bin/env bash
# Builds the browser edition and drives it in headless Chromium (tests/web, Node's test runner).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-web.sh
# em++ runs its JavaScript tools with the Node on PATH, which must find Debian's modules.
export NODE_PATH=/usr/share/nodejs
cmake --preset web
cmake --build --preset web
cd tests/web
npm ci --no-audit --no-fund --loglevel=error
node --test
