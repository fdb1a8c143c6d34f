#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test, the browser edition's too.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-debian.sh
cmake --preset dev
cmake --build --preset dev
ctest --preset dev
# The browser edition, in headless Chromium.
./scripts/test-web.sh
