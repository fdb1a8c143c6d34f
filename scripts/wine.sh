#!/bin/sh
# Runs a Windows program under Wine, the way the tests need it: the 64-bit loader (Debian's
# "wine" would pick a 32-bit one if present), a prefix of our own made the first time, and a
# server that is already up with its background services started apart, so that those services
# never hold the caller's stdout or stderr open.
#
#   scripts/wine.sh PROGRAM.exe [ARGS...]
#   scripts/wine.sh --puede PROGRAM.exe     status 0 when PROGRAM.exe can run here, else 77
#
# TRALMIX_WINEPREFIX chooses the prefix (default /tmp/tralmix-wine-UID; about 1.3 GB). The server
# stays up TRALMIX_WINE_PERSIST seconds (default 30) after the last program ends, then leaves.
# An i686 program whose tests cannot run here (no 32-bit Wine, or a kernel without 32-bit
# support) ends with status 77, which the tests report as skipped, and says why.
set -eu

prefijo=${TRALMIX_WINEPREFIX:-/tmp/tralmix-wine-$(id -u)}
export WINEPREFIX="$prefijo"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml="
# The Unix locale decides Wine's ANSI code page: pinned, so every run sees the same one.
export LC_ALL=C.UTF-8
cargador=/usr/lib/wine/wine64
servidor=/usr/lib/wine/wineserver

# The machine type in the PE header: 014c is i386.
maquina() {
    desplazamiento=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$desplazamiento" ] || return 0
    od -An -tx2 -j$((desplazamiento + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

solo_probar=no
if [ "${1:-}" = --puede ]; then
    solo_probar=si
    shift
fi
if [ $# -gt 0 ] && [ -f "$1" ] && [ "$(maquina "$1")" = 014c ]; then
    if ! "$(dirname "$0")/probar-i386.sh" >/dev/null 2>&1; then
        echo "skipped: this kernel runs no 32-bit programs (IA-32 emulation off), so no i686 program runs under Wine here" >&2
        exit 77
    fi
    if [ ! -x /usr/lib/wine/wine ]; then
        echo "skipped: only the 64-bit Wine is installed; an i686 program needs wine32:i386" >&2
        exit 77
    fi
    cargador=/usr/lib/wine/wine
fi
export WINELOADER="$cargador"
if [ "$solo_probar" = si ]; then
    exit 0
fi

# A folder this script did not make is never taken over, let alone removed: a prefix of ours is
# either ready (.tralmix-listo) or half made by an earlier call that failed (.tralmix-creando).
ajeno() {
    [ -e "$prefijo" ] || return 1
    [ ! -f "$prefijo/.tralmix-listo" ] && [ ! -f "$prefijo/.tralmix-creando" ] &&
        [ -n "$(ls -A "$prefijo" 2>/dev/null)" ]
}
if ajeno; then
    echo "wine.sh: $prefijo already exists and was not made by this script; nothing in it was" \
        "touched. Point TRALMIX_WINEPREFIX at a new or empty folder." >&2
    exit 1
fi

if [ ! -x "$cargador" ]; then
    echo "wine.sh: $cargador is missing (scripts/setup-windows.sh installs it)" >&2
    exit 1
fi

mkdir -p "$(dirname "$prefijo")"
exec 9>"$prefijo.lock"
flock 9
if [ ! -f "$prefijo/.tralmix-listo" ]; then
    if ajeno; then
        echo "wine.sh: $prefijo was filled meanwhile by something else; nothing was touched" >&2
        exit 1
    fi
    # Only what this script began and did not finish is started over; the folder itself may be
    # one the caller made empty for it, so only its contents go.
    if [ -f "$prefijo/.tralmix-creando" ]; then
        find "$prefijo" -mindepth 1 -delete
    fi
    mkdir -p "$prefijo"
    touch "$prefijo/.tralmix-creando"
    if ! "$cargador" wineboot -i </dev/null >"$prefijo.log" 2>&1 9>&-; then
        echo "wine.sh: could not make the prefix $prefijo:" >&2
        tail -n 20 "$prefijo.log" >&2
        exit 1
    fi
    # Without a window manager a managed window waits for one on every hide; Wine draws the
    # frame itself when unmanaged.
    "$cargador" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1 9>&-
    # The caption buttons' glyphs: Wine does not find the packaged font by itself.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        cp /usr/share/wine/fonts/marlett.ttf "$prefijo/drive_c/windows/Fonts/"
    fi
    # The window's fonts by name, from the metric-compatible ones Debian installs.
    for par in 'Times New Roman=Liberation Serif' 'Arial=Liberation Sans'; do
        "$cargador" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${par%%=*}" \
            /t REG_SZ /d "${par#*=}" /f </dev/null >/dev/null 2>&1 9>&-
    done
    "$servidor" -w 9>&-
    touch "$prefijo/.tralmix-listo"
    rm -f "$prefijo/.tralmix-creando"
fi
# The server's socket lives in a folder named after the prefix's device and inode, under
# /tmp/.wine-UID or, in Wine 8, a /tmp/wine-XXXXXX folder of its own.
carpeta=$(stat -c '%d %i' "$prefijo" | { read -r d i; printf 'server-%x-%x' "$d" "$i"; })
activo=no
for socket in "/tmp/.wine-$(id -u)/$carpeta/socket" /tmp/wine-*/"$carpeta/socket"; do
    if [ -S "$socket" ] && [ -O "$socket" ]; then
        activo=si
    fi
done
if [ "$activo" = no ]; then
    # Neither may stop the program from running: a server that was just leaving, or one another
    # caller started, serves as well.
    "$servidor" -p"${TRALMIX_WINE_PERSIST:-30}" </dev/null >/dev/null 2>&1 9>&- || true
    "$cargador" wineboot </dev/null >/dev/null 2>&1 9>&- || true
fi
exec 9>&-
exec "$cargador" "$@"
