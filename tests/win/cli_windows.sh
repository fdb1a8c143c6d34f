#!/usr/bin/env bash
# What tralmix-cli.exe does differently, or only, on Windows: the list in the profile folder and
# the working file in the system's temporary folder by default, the exit statuses and reasons of
# failed runs, output bytes without an added CR, and --open through the shell's .txt association.
#
# Usage: cli_windows.sh TRALMIX-CLI-EXE GOLDEN_DIR
set -u
exe=$1
golden=$2
aqui=$(cd "$(dirname "$0")" && pwd)
wine=$aqui/../../scripts/wine.sh
"$wine" --puede "$exe" || exit 77

work=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-cliwin.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
prefijo=${TRALMIX_WINEPREFIX:-/tmp/tralmix-wine-$(id -u)}
perfil=$prefijo/drive_c/users/$(id -un)
temporal=$prefijo/drive_c/users/$(id -un)/Temp
fallos=0
fallar() {
    echo "FAIL $1: $2"
    fallos=$((fallos + 1))
}
# correr TAG ARGS...: the command under Wine, its status in $estado.
correr() {
    local tag=$1
    shift
    "$wine" "$exe" "$@" >"$work/$tag.out" 2>"$work/$tag.err"
    estado=$?
}
esperar_estado() {
    [ "$estado" -eq "$2" ] || fallar "$1" "exit status $estado, expected $2: $(head -c 300 "$work/$1.err")"
}

correr version --version
esperar_estado version 0
printf 'tralmix 2.00\nCreador de lista de correos\n' | cmp -s - "$work/version.out" ||
    fallar version "stdout is not the two lines, LF-ended: $(od -c "$work/version.out" | head -3)"

# The help names Windows' own places, not those of Linux.
correr help --help
esperar_estado help 0
grep -q 'TMP o TEMP)' "$work/help.out" && ! grep -q '/tmp' "$work/help.out" ||
    fallar help "$(grep -- --temp-dir "$work/help.out")"

correr usage
esperar_estado usage 2
grep -q '^tralmix-cli: falta el archivo de entrada' "$work/usage.err" || fallar usage "$(head -2 "$work/usage.err")"

correr missing --date 2005-03-05 "$work/no existe.txt"
esperar_estado missing 3
grep -q 'el archivo o la carpeta no existe' "$work/missing.err" || fallar missing "$(cat "$work/missing.err")"

printf '   \r\nwww.example.com\r\n' >"$work/vacia.txt"
correr refused --output-dir "$work" --date 2005-03-05 "$work/vacia.txt"
esperar_estado refused 1

# By default the list goes to the profile folder and the working file to the temporary folder.
mkdir -p "$work/in"
cp "$golden/list_lf.input.txt" "$work/in/Defecto.TXT"
rm -f "$perfil/Mails_20050305.txt" "$temporal/defecto.txt"
correr defaults --date 2005-03-05 "$work/in/Defecto.TXT"
esperar_estado defaults 0
cmp -s "$golden/list_lf.expected" "$perfil/Mails_20050305.txt" ||
    fallar defaults "no golden list in the profile folder $perfil"
grep -q '^C:\\users\\'"$(id -un)"'.Mails_20050305\.txt$' "$work/defaults.out" ||
    fallar defaults "stdout: $(cat "$work/defaults.out")"
[ -f "$temporal/defecto.txt" ] || fallar defaults "no working file in $temporal"
rm -f "$perfil/Mails_20050305.txt"

# --open hands the list to the shell: .txt files go to Wine's browser, which calls xdg-open.
mkdir -p "$work/bin" "$work/out"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/abiertos.log"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
"$wine" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
"$wine" reg add 'HKCR\txtfile\shell\open\command' /ve /d 'winebrowser "%1"' /f >/dev/null 2>&1
PATH="$work/bin:$PATH" correr open --open --output-dir "$work/out" --date 2005-03-05 "$work/in/Defecto.TXT"
esperar_estado open 0
for _ in $(seq 100); do
    [ -s "$work/abiertos.log" ] && break
    sleep 0.1
done
grep -q "out/Mails_20050305.txt" "$work/abiertos.log" 2>/dev/null ||
    fallar open "xdg-open got: $(cat "$work/abiertos.log" 2>/dev/null)"

# Invisible characters keep an entry out, and a separator that would break, hide or join the
# addresses is refused with its reason, as on Linux.
printf 'ok@x.com\r\nwj\xe2\x81\xa0@x.com\r\nt\xf3\xa0\x81\x81@x.com\r\nsh\xc2\xad@x.com\r\n' \
    >"$work/in/invisibles.txt"
correr invisibles --output-dir "$work/out" --date 2005-03-06 "$work/in/invisibles.txt"
esperar_estado invisibles 0
printf 'ok@x.com\r\n\r\n' | cmp -s - "$work/out/Mails_20050306.txt" ||
    fallar invisibles "$(od -c "$work/out/Mails_20050306.txt" | head -3)"
for malo in $'\xc2\x85' $'\xe2\x80\xae' '@' ' y '; do
    correr separador --output-dir "$work/out" --separator "$malo" "$work/in/Defecto.TXT"
    esperar_estado separador 2
    grep -q '^tralmix-cli: separador no válido: no puede' "$work/separador.err" ||
        fallar "separator $(printf %q "$malo")" "$(head -2 "$work/separador.err")"
done

echo "cli_windows: $fallos failures"
[ "$fallos" -eq 0 ]
