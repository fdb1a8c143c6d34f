#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-debian.sh
cmake --preset asan
cmake --build --preset asan
ctest --preset asan --parallel 2
