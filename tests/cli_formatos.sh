#!/usr/bin/env bash
# Contact and mail files through the real command: every file that has a NAME.expected beside it
# gives exactly those addresses (any case; a "# doubtful:" one may be listed or not), and the
# command's --group-size and --separator shape the list.
#
# Usage: cli_formatos.sh CLI DIR...   (a DIR that does not exist is skipped; TRALMIX_CORPUS, when
#        set, is one more DIR, its formats/ folder)
set -u

if [ $# -lt 2 ]; then
    echo "usage: $0 CLI DIR..." >&2
    exit 2
fi
cli=$1
shift
dirs=("$@")
if [ -n "${TRALMIX_CORPUS:-}" ]; then
    dirs+=("$TRALMIX_CORPUS/formats")
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-formatos.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
# shellcheck source=SCRIPTDIR/cli_comun.sh
. "$(dirname "$0")/cli_comun.sh"
list=$work/out/$list_name
files=0

# leer FILE [OPTION...]: the command on FILE into fresh folders; its status, and the list, if
# any, in $list.
leer() {
    local input=$1
    shift
    rm -rf "$work/out" "$work/tmp"
    mkdir -p "$work/out" "$work/tmp"
    run formatos --quiet --output-dir "$work/out" --temp-dir "$work/tmp" --date "$date_arg" "$@" \
        "$input"
}

# The addresses of the list, one a line, lower-cased and sorted.
addresses() {
    [ -f "$list" ] || return 0
    tr -d '\r' <"$list" | sed 's/, /\n/g' | grep -v '^$' | LC_ALL=C sort -u
}

for dir in "${dirs[@]}"; do
    if [ ! -d "$dir" ]; then
        echo "cli_formatos: no folder $dir, skipped"
        continue
    fi
    while IFS= read -r -d '' expected; do
        base=${expected%.expected}
        input=
        for candidate in "$base".*; do
            case $candidate in
                *.expected | *.body) ;;
                *) input=$candidate ;;
            esac
        done
        [ -n "$input" ] || continue
        files=$((files + 1))
        leer "$input"
        grep -v '^#' "$expected" | tr -d '\r' | grep -v '^$' | tr 'A-Z' 'a-z' | LC_ALL=C sort -u \
            >"$work/want"
        sed -n 's/^# doubtful: \([^ ]*\).*/\1/p' "$expected" | tr 'A-Z' 'a-z' >"$work/doubtful"
        addresses >"$work/got"
        if [ -s "$work/want" ] && [ "$status" -ne 0 ]; then
            fail "$input" "status $status: $(head -c 300 "$err")"
            continue
        fi
        if [ ! -s "$work/want" ] && [ "$status" -ne 1 ]; then
            fail "$input" "no address expected, yet status $status"
            continue
        fi
        missing=$(LC_ALL=C comm -23 "$work/want" "$work/got")
        extra=$(LC_ALL=C comm -13 "$work/want" "$work/got" | grep -vxF -f "$work/doubtful" -e '')
        [ -z "$missing" ] || fail "$input" "missing: $(echo $missing)"
        [ -z "$extra" ] || fail "$input" "not expected: $(echo $extra)"
    done < <(find "$dir" -type f -name '*.expected' -print0 | sort -z)
done

# A Shift_JIS export is refused with a reason, not read as Windows-1252.
printf '\x96\xbc\x91\x4f,\x83\x81\x81\x5b\x83\x8b\r\n\x96\xbc\x96\xb3\x82\xb5,a@host.example\r\n' \
    >"$work/sjis.csv"
leer "$work/sjis.csv"
[ "$status" -eq 1 ] || fail sjis "status $status, expected 1"
grep -q 'Shift_JIS' "$err" || fail sjis "no reason given: $(head -c 200 "$err")"

# Binary files are refused with what they seem to be and what to do, and write no list; text
# with other marks or extensions is still read.
printf 'PK\003\004\024\000\006\000\010\000a@x.example' >"$work/clientes.xlsx"
printf 'a@x.example\r\n\000\000\001\002b@x.example\r\n' >"$work/datos.txt"
printf '%%PDF-1.4\n%%\342\343\n1 0 obj a@x.example\n' >"$work/informe.pdf"
for c in "clientes.xlsx|guárdela como CSV" "datos.txt|bytes nulos" "informe.pdf|documento PDF"; do
    IFS='|' read -r name reason <<<"$c"
    leer "$work/$name"
    status=$?
    [ "$status" -eq 1 ] || fail "$name" "status $status, expected 1"
    grep -q "$reason" "$err" || fail "$name" "no reason given: $(head -c 300 "$err")"
    [ ! -e "$list" ] || fail "$name" "a list was written"
done
printf '\377\376a\000@\000x\000.\000e\000s\000\r\000\n\000' >"$work/utf16.txt"
printf 'b@x.example\r\n' >"$work/notas.dat"
for name in utf16.txt notas.dat; do
    leer "$work/$name"
    status=$?
    [ "$status" -eq 0 ] || fail "$name" "status $status: $(head -c 300 "$err")"
done

# A file without an extension goes by its content: a mailbox (as mail programs keep "Inbox"), a
# vCard or an LDIF file to its reader; anything else is still read as text.
printf 'From - Sat Jan 03 01:05:34 1996\nReturn-Path: <bounce@x.example>\nFrom: Alice <alice@x.example>\nMessage-ID: <1@id.example>\n\nwrite to body@x.example\n\nFrom - Mon Jan 05 10:00:00 2004\nTo: bob@x.example\n' \
    >"$work/Inbox"
printf 'BEGIN:VCARD\r\nEMAIL:carol@x.example\r\nNOTE:dave@x.example\r\nEND:VCARD\r\n' >"$work/Tarjeta"
printf 'dn: cn=Eve,mail=eve@x.example\nmail: eve@x.example\n' >"$work/libreta"
printf 'frank@x.example\r\n' >"$work/lista"
for c in "Inbox|alice@x.example bob@x.example" "Tarjeta|carol@x.example" \
    "libreta|eve@x.example" "lista|frank@x.example"; do
    IFS='|' read -r name want <<<"$c"
    leer "$work/$name"
    got=$(addresses | tr 'A-Z' 'a-z' | tr '\n' ' ')
    [ "$got" = "$want " ] || fail "$name" "listed: $got, expected: $want"
done

# A line of empty fields takes memory for what it keeps, not for every field: 30 MB of them
# read under an address-space limit (a sanitizer build cannot start under one: skipped).
limit_kb=250000
if (ulimit -v $limit_kb && "$cli" --version >/dev/null 2>&1); then
    { head -c 30000000 /dev/zero | tr '\0' ','; printf 'x@y.example\r\n'; } >"$work/vacios.csv"
    (ulimit -v $limit_kb && leer "$work/vacios.csv")
    status=$?
    [ "$status" -eq 0 ] || fail empty-fields "status $status: $(head -c 300 "$err")"
    [ "$(addresses)" = "x@y.example" ] || fail empty-fields "listed: $(addresses)"
    rm -f "$work/vacios.csv"
else
    echo "cli_formatos: the command does not start under an address-space limit; memory case skipped"
fi

# A .csv that is a plain list, in groups of 2 joined by "; ".
printf 'c@x.example\r\na@x.example\r\nb@x.example\r\n' >"$work/lista.csv"
leer "$work/lista.csv" --group-size 2 --separator '; '
printf 'a@x.example\r\n\r\nb@x.example\r\n\r\n\r\nc@x.example\r\n\r\n' >"$work/want"
cmp -s "$work/want" "$list" || fail group-size "the list differs: $(od -c "$list" | head -5)"

for bad in "--group-size 0" "--group-size 1001" "--group-size 4x" "--separator ''"; do
    eval leer "$work/lista.csv" "$bad"
    [ "$status" -eq 2 ] || fail "$bad" "status $status, expected 2"
    grep -q 'no válido' "$err" || fail "$bad" "no clear message: $(head -c 200 "$err")"
done

# Separators that would break, hide or join the list's addresses: refused, saying why.
for bad in $'\xc2\x85' $'\xe2\x80\xae' $'\xe2\x81\xa0' '@' ' y ' ', 5'; do
    leer "$work/lista.csv" --separator "$bad"
    status=$?
    [ "$status" -eq 2 ] || fail "separator $(printf %q "$bad")" "status $status, expected 2"
    grep -q '^tralmix-cli: separador no válido: no puede' "$err" ||
        fail "separator $(printf %q "$bad")" "no reason given: $(head -c 200 "$err")"
done

echo "cli_formatos: $files files with expected addresses, $failures failures"
if [ "$files" -eq 0 ]; then
    echo "cli_formatos: no expected files found"
    exit 1
fi
[ "$failures" -eq 0 ]
