#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, and any packages named as
# arguments; does nothing when all is there. With TRALMIX_LISTAR_PAQUETES=1 it only prints the
# packages, one a line (scripts/comprobar-ordenes.sh reads them so).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libicu-dev libcli11-dev libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev
    xvfb xauth xdotool fonts-liberation2 fp-utils
    clang libclang-rt-14-dev
    imagemagick xclip qt6-translations-l10n
    desktop-file-utils appstream shared-mime-info
    # the Debian package: its dependencies, man pages (a Spanish locale's sources) and checks
    dpkg dpkg-dev file help2man locales lintian
    # The desktop's opener (xdg-open) for the window's list and help, and xdg-mime for its tests.
    xdg-utils
    # The lint gate (scripts/lint.sh).
    clang-tidy clang-format shellcheck
    "$@"
)

if [[ ${TRALMIX_LISTAR_PAQUETES:-} == 1 ]]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
