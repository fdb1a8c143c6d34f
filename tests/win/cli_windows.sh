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
# run and its checks as on Linux, the command under Wine.
cli=$exe
run_prefix=("$wine")
# The first run under a new prefix makes it, which takes a while on a busy machine.
RUN_LIMIT=${RUN_LIMIT:-600}
# shellcheck source=SCRIPTDIR/../cli_comun.sh
. "$aqui/../cli_comun.sh"
prefijo=${TRALMIX_WINEPREFIX:-/tmp/tralmix-wine-$(id -u)}
perfil=$prefijo/drive_c/users/$(id -un)
temporal=$prefijo/drive_c/users/$(id -un)/Temp

run version --version
expect_status version 0
printf 'tralmix 2.00\nCreador de lista de correos\n' | cmp -s - "$work/log/version.out" ||
    fail version "stdout is not the two lines, LF-ended: $(od -c "$work/log/version.out" | head -3)"

# The help names Windows' own places, not those of Linux.
run help --help
expect_status help 0
grep -q 'TMP o TEMP)' "$work/log/help.out" && ! grep -q '/tmp' "$work/log/help.out" ||
    fail help "$(grep -- --temp-dir "$work/log/help.out")"

run usage
expect_status usage 2
grep -q '^tralmix-cli: falta el archivo de entrada' "$work/log/usage.err" || fail usage "$(head -2 "$work/log/usage.err")"

run missing --date 2005-03-05 "$work/no existe.txt"
expect_status missing 3
grep -q 'el archivo o la carpeta no existe' "$work/log/missing.err" || fail missing "$(cat "$work/log/missing.err")"

printf '   \r\nwww.example.com\r\n' >"$work/vacia.txt"
run refused --output-dir "$work" --date 2005-03-05 "$work/vacia.txt"
expect_status refused 1

# By default the list goes to the profile folder and the working file to the temporary folder.
mkdir -p "$work/in"
cp "$golden/list_lf.input.txt" "$work/in/Defecto.TXT"
rm -f "$perfil/Mails_20050305.txt" "$temporal/defecto.txt"
run defaults --date 2005-03-05 "$work/in/Defecto.TXT"
expect_status defaults 0
cmp -s "$golden/list_lf.expected" "$perfil/Mails_20050305.txt" ||
    fail defaults "no golden list in the profile folder $perfil"
grep -q '^C:\\users\\'"$(id -un)"'.Mails_20050305\.txt$' "$work/log/defaults.out" ||
    fail defaults "stdout: $(cat "$work/log/defaults.out")"
[ -f "$temporal/defecto.txt" ] || fail defaults "no working file in $temporal"
rm -f "$perfil/Mails_20050305.txt"

# --open hands the list to the shell: .txt files go to Wine's browser, which calls xdg-open.
mkdir -p "$work/bin" "$work/out"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/abiertos.log"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
"$wine" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
"$wine" reg add 'HKCR\txtfile\shell\open\command' /ve /d 'winebrowser "%1"' /f >/dev/null 2>&1
PATH="$work/bin:$PATH" run open --open --output-dir "$work/out" --date 2005-03-05 "$work/in/Defecto.TXT"
expect_status open 0
for _ in $(seq 100); do
    [ -s "$work/abiertos.log" ] && break
    sleep 0.1
done
grep -q "out/Mails_20050305.txt" "$work/abiertos.log" 2>/dev/null ||
    fail open "xdg-open got: $(cat "$work/abiertos.log" 2>/dev/null)"

# Invisible characters keep an entry out, and a separator that would break, hide or join the
# addresses is refused with its reason, as on Linux.
printf 'ok@x.com\r\nwj\xe2\x81\xa0@x.com\r\nt\xf3\xa0\x81\x81@x.com\r\nsh\xc2\xad@x.com\r\n' \
    >"$work/in/invisibles.txt"
run invisibles --output-dir "$work/out" --date 2005-03-06 "$work/in/invisibles.txt"
expect_status invisibles 0
printf 'ok@x.com\r\n\r\n' | cmp -s - "$work/out/Mails_20050306.txt" ||
    fail invisibles "$(od -c "$work/out/Mails_20050306.txt" | head -3)"
for malo in $'\xc2\x85' $'\xe2\x80\xae' '@' ' y '; do
    run separador --output-dir "$work/out" --separator "$malo" "$work/in/Defecto.TXT"
    expect_status separador 2
    grep -q '^tralmix-cli: separador no válido: no puede' "$work/log/separador.err" ||
        fail "separator $(printf %q "$malo")" "$(head -2 "$work/log/separador.err")"
done

# Several inputs of two kinds, an exclusion list, the report and the clean-up, as on Linux; the
# summary follows the run's messages on stderr.
printf 'Ana <Ana@X.com>\r\nbob@y.com\r\nusuario+etiqueta@z.com\r\n' >"$work/in/a.txt"
printf 'BEGIN:VCARD\r\nEMAIL:carl@z.com\r\nEMAIL:bob@y.com\r\nEND:VCARD\r\n' >"$work/in/b.vcf"
printf 'BOB@y.com\r\n' >"$work/in/bajas.txt"
run varias --output-dir "$work/out" --date 2005-03-07 --depurar --excluir "$work/in/bajas.txt" \
    --informe "$work/out/informe.json" "$work/in/a.txt" "$work/in/b.vcf"
expect_status varias 0
printf 'ana@x.com\r\n\r\ncarl@z.com, usuario+etiqueta@z.com\r\n\r\n\r\n' |
    cmp -s - "$work/out/Mails_20050307.txt" || fail varias "$(od -c "$work/out/Mails_20050307.txt" | head -5)"
tail -n 2 "$work/log/varias.err" | cmp -s - <(printf '%s\n' \
    'Resumen: 3 direcciones en 1 grupo; 2 excluidas quitadas' 'Lista depurada: 2 entradas corregidas') ||
    fail varias "stderr: $(cat "$work/log/varias.err")"
grep -q '"excluidas": 2, "listadas": 3' "$work/out/informe.json" 2>/dev/null ||
    fail varias "report: $(cat "$work/out/informe.json" 2>/dev/null)"
run varias-usage --output-dir "$work/out" - "$work/in/a.txt" -
expect_status varias-usage 2

echo "cli_windows: $failures failures"
[ "$failures" -eq 0 ]
