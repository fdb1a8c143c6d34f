#!/usr/bin/env bash
# Builds the optimised programs (preset "debian") and packs them, with their Spanish man pages,
# the help, the desktop entry, icons, the .ctt file type and the metainfo, into
# build/paquetes/tralmix_VERSION-REVISION_amd64.deb (VERSION: project(); REVISION: the newest
# entry of packaging/linux/changelog), then prints the package's path. Nothing is installed on
# this machine but the tools (scripts/setup-debian.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-debian.sh

cmake --preset debian >/dev/null
cmake --build --preset debian
rm -rf build/paquetes/_CPack_Packages build/paquetes/tralmix_*.deb
cpack --config build/debian/CPackConfig.cmake -B build/paquetes >/dev/null
rm -rf build/paquetes/_CPack_Packages
ls build/paquetes/tralmix_*_amd64.deb
