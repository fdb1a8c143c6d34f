#!/usr/bin/env bash
# tralmix-cli.exe, taken from a package (.zip) or from the build, copied into a folder whose name
# is Spanish, Greek and Chinese and run under Wine on an input named in Greek and Chinese: the
# list must be the golden one and stdout its path.
#
# Usage: paquete_e2e.sh TRALMIX-ZIP-OR-CLI-EXE GOLDEN_DIR
set -u
origen=$1
golden=$2
aqui=$(cd "$(dirname "$0")" && pwd)
wine=$aqui/../../scripts/wine.sh

trabajo=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-paquete.XXXXXX") || exit 1
trap 'rm -rf "$trabajo"' EXIT
carpeta="$trabajo/Programas ñandú Ελληνικά 中文"
mkdir -p "$carpeta" "$trabajo/salida" "$trabajo/temporal"
case $origen in
    *.zip)
        # Windows' own extractor reads a name as UTF-8 only when its flag (bit 11) says so.
        /usr/bin/python3 -c 'import sys, zipfile
sin = [i.filename for i in zipfile.ZipFile(sys.argv[1]).infolist()
       if not i.filename.isascii() and not i.flag_bits & 0x800]
sys.exit("FAIL: names without the UTF-8 flag: %s" % sin if sin else 0)' "$origen" || exit 1
        unzip -q -j "$origen" -d "$carpeta" || exit 1
        for f in tralmix.exe tralmix-cli.exe tralmix.chm LÉAME.txt LICENCIA.txt; do
            [ -f "$carpeta/$f" ] || { echo "FAIL: $f is not in the package"; exit 1; }
        done
        ;;
    *) cp "$origen" "$carpeta/tralmix-cli.exe" ;;
esac
"$wine" --puede "$carpeta/tralmix-cli.exe" || exit 77

entrada="$trabajo/Λίστα 名单.txt"
cp "$golden/list_97.input.txt" "$entrada"
fallos=0
"$wine" "$carpeta/tralmix-cli.exe" --output-dir "$trabajo/salida" --temp-dir "$trabajo/temporal" \
    --date 2005-03-05 "$entrada" >"$trabajo/stdout" 2>"$trabajo/stderr"
estado=$?
if [ "$estado" -ne 0 ]; then
    echo "FAIL: exit status $estado: $(cat "$trabajo/stderr")"
    fallos=$((fallos + 1))
fi
if ! cmp -s "$golden/list_97.expected" "$trabajo/salida/Mails_20050305.txt"; then
    echo "FAIL: the list differs from list_97.expected"
    fallos=$((fallos + 1))
fi
if ! grep -q 'Mails_20050305\.txt$' "$trabajo/stdout"; then
    echo "FAIL: stdout is not the list's path: $(cat "$trabajo/stdout")"
    fallos=$((fallos + 1))
fi
# The working file keeps the input's name, lower-cased, whatever its script.
if [ ! -f "$trabajo/temporal/λίστα 名单.txt" ]; then
    echo "FAIL: no working file named after the input: $(ls "$trabajo/temporal")"
    fallos=$((fallos + 1))
fi
echo "paquete_e2e: $fallos failures"
[ "$fallos" -eq 0 ]
