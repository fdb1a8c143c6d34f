#!/bin/sh
# scripts/wine.sh never takes over or removes a folder it did not make: TRALMIX_WINEPREFIX
# pointed at a developer's own Wine folder (or any folder with files) is refused untouched.
#
# Usage: wine_prefijo.sh WINE_SH
set -u
wine_sh=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-wineprefix.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL $1: $2"
    failures=$((failures + 1))
}

for caso in folder file; do
    propio="$work/$caso"
    if [ "$caso" = folder ]; then
        mkdir -p "$propio/drive_c"
        printf 'mine\n' >"$propio/system.reg"
    else
        printf 'mine\n' >"$propio"
    fi
    TRALMIX_WINEPREFIX=$propio sh "$wine_sh" /nonexistent.exe >"$work/out" 2>"$work/err"
    status=$?
    [ "$status" -ne 0 ] || fail "$caso" "wine.sh ended with 0"
    grep -q 'was not made by this script' "$work/err" || fail "$caso" "message: $(cat "$work/err")"
    if [ "$caso" = folder ]; then
        [ -d "$propio/drive_c" ] && [ "$(cat "$propio/system.reg" 2>/dev/null)" = mine ] ||
            fail "$caso" "the folder was changed: $(ls -A "$propio" 2>&1)"
    else
        [ "$(cat "$propio")" = mine ] || fail "$caso" "the file was changed"
    fi
done

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "wine.sh leaves folders it did not make alone"
