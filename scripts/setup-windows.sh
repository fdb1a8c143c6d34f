#!/usr/bin/env bash
# Installs what the Windows build and its tests under Wine need on Debian 12, beside what
# setup-debian.sh installs; does nothing when all is there. Only the 64-bit Wine: with the
# 32-bit one present, Debian's "wine" picks the 32-bit loader, which kernels without 32-bit
# support cannot run.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 mingw-w64-tools
    googletest
    wine wine64 fonts-wine
    icoutils python3-pefile zip unzip
    wixl msitools
    # The packages' time stamps: the last commit's time.
    git
)

./scripts/setup-debian.sh "${packages[@]}"
