#!/usr/bin/env bash
# Builds the Windows programs for x86-64 and i686 and runs their tests under Wine: all of them
# for x86-64; for i686 only where this kernel runs 32-bit programs and a 32-bit Wine is
# installed. Elsewhere the i686 programs are built (as they are packaged) and their tests are
# reported skipped, with the reason.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-windows.sh

cmake --preset windows
cmake --build --preset windows
cmake --preset windows-x86
i686=si
if ! scripts/probar-i386.sh >/dev/null 2>&1; then
    i686="skipped: this kernel runs no 32-bit programs (IA-32 emulation off), so the i686 tests cannot run under Wine here"
elif [[ ! -x /usr/lib/wine/wine ]]; then
    i686="skipped: only the 64-bit Wine is installed; the i686 tests need wine32:i386"
fi
if [[ $i686 == si ]]; then
    cmake --build --preset windows-x86
else
    cmake --build --preset windows-x86 --target tralmix tralmix-cli tralmix_ayuda
fi

# A prefix of this run's own, removed at the end (about 1.3 GB); its server goes with it.
TRALMIX_WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-wine.XXXXXX")/prefijo
export TRALMIX_WINEPREFIX
trap 'WINEPREFIX=$TRALMIX_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true;
      rm -rf "$(dirname "$TRALMIX_WINEPREFIX")"' EXIT
ctest --preset windows --parallel 2
if [[ $i686 == si ]]; then
    ctest --preset windows-x86 --parallel 2
else
    echo "i686 tests $i686"
fi
