#!/usr/bin/env bash
# Several inputs, exclusion lists, the report and the clean-up mode through the real command, on
# real contact and mail files (each with a NAME.expected beside it) and the whole corpus.
#
# Usage: cli_varias.sh CLI FORMATS_DIR CORPUS_DIR   (a CORPUS_DIR that does not exist is skipped;
#        FORMATS_DIR is the repository's own formats folder)
set -u

if [ $# -ne 3 ]; then
    echo "usage: $0 CLI FORMATS_DIR CORPUS_DIR" >&2
    exit 2
fi
cli=$1
formats=$2
corpus=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-varias.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
# shellcheck source=SCRIPTDIR/cli_comun.sh
. "$(dirname "$0")/cli_comun.sh"
list=$work/out/$list_name

# go TAG ARG...: the command into fresh folders, the date fixed.
go() {
    local tag=$1
    shift
    rm -rf "$work/out" "$work/tmp"
    mkdir -p "$work/out" "$work/tmp"
    run "$tag" --output-dir "$work/out" --temp-dir "$work/tmp" --date "$date_arg" "$@"
}

# The addresses of the list, one a line, sorted.
addresses() {
    [ -f "$list" ] || return 0
    tr -d '\r' <"$list" | sed 's/, /\n/g' | grep -v '^$' | LC_ALL=C sort
}

# The addresses a NAME.expected file promises, lower-cased, each once.
expected() {
    LC_ALL=C grep -av '^#' "$1" | tr -d '\r' | LC_ALL=C grep -av '^$' | tr 'A-Z' 'a-z' | LC_ALL=C sort -u
}

# json_count NAME: a count of the report in $work/informe.json.
json_count() {
    sed -n "s/.*\"$1\": \([0-9]*\).*/\1/p" "$work/informe.json"
}

# Several files of different kinds make one list of all their addresses ---------------------------

inputs=()
want=$work/want
: >"$want"
for name in tb_export_vcf.vcf tb_csv_semicolon.csv tb_export_ldif.ldif; do
    inputs+=("$formats/$name")
    expected "$formats/${name%.*}.expected" >>"$want"
done
for name in formats/mbox/rc_import.mbox formats/eml/mm_example03.eml formats/csv/rc_gmail.csv; do
    [ -f "$corpus/$name" ] || continue
    inputs+=("$corpus/$name")
    expected "$corpus/${name%.*}.expected" >>"$want"
done
LC_ALL=C sort -u -o "$want" "$want"
go several --informe "$work/informe.json" "${inputs[@]}" "${inputs[0]}"
if expect_status several 0; then
    addresses >"$work/got"
    cmp -s "$want" "$work/got" ||
        fail several "the list differs: $(LC_ALL=C comm -3 "$want" "$work/got" | tr '\n' ' ')"
    [ "$(cat "$out")" = "$list" ] || fail several "stdout: $(cat "$out")"
    n=$(wc -l <"$want")
    [ "$(json_count listadas)" = "$n" ] || fail several "listadas $(json_count listadas), not $n"
    found=$(json_count encontradas)
    [ "$((found - $(json_count repetidas)))" = "$n" ] || fail several "encontradas $found"
    [ "$(grep -o '"formato"' "$work/informe.json" | wc -l)" = $((${#inputs[@]} + 1)) ] ||
        fail several "not every input in the report"
    grep -qx "Resumen: $n direcciones en 1 grupo; $(json_count repetidas) repetidas quitadas" \
        "$err" || fail several "no summary: $(tail -n 3 "$err")"
fi

# Exclusion lists: an address in another case, a domain, a whole file of another kind ----------

first=$(head -n 1 "$want")
domain=$(sed -n '2s/.*@//p' "$want")
printf '%s\r\n@%s\r\n' "$(tr '[:lower:]' '[:upper:]' <<<"$first")" "$domain" >"$work/bajas.txt"
go excluded --excluir "$work/bajas.txt" --excluir "${inputs[1]}" --informe "$work/informe.json" \
    "${inputs[@]}"
if expect_status excluded 0; then
    addresses >"$work/got"
    expected "$formats/tb_csv_semicolon.expected" >"$work/out-too"
    printf '%s\n' "$first" >>"$work/out-too"
    grep -- "@${domain//./\\.}\$" "$want" >>"$work/out-too"
    left=$(grep -xF -f "$work/out-too" "$work/got")
    [ -z "$left" ] || fail excluded "listed: $(tr '\n' ' ' <<<"$left")"
    kept=$(LC_ALL=C comm -23 "$want" <(LC_ALL=C sort -u "$work/out-too") | LC_ALL=C comm -23 - "$work/got")
    [ -z "$kept" ] || fail excluded "left out wrongly: $(tr '\n' ' ' <<<"$kept")"
    [ "$(json_count excluidas)" -ge 3 ] || fail excluded "excluidas $(json_count excluidas)"
fi
# Everything excluded: no list, status 1, the reason.
go all-excluded --excluir "${inputs[0]}" "${inputs[0]}"
expect_status all-excluded 1
grep -q 'están en las listas de exclusión' "$err" || fail all-excluded "$(cat "$err")"
[ ! -e "$list" ] || fail all-excluded "a list was written"
# A missing exclusion list stops the run: never a list that still holds those people.
go missing-exclusion --excluir "$work/no-existe.txt" "${inputs[0]}"
expect_status missing-exclusion 3
[ ! -e "$list" ] || fail missing-exclusion "a list was written"

# One input: --resumen adds the summary and nothing else changes ---------------------------------

printf 'Luis <luis@example.org>\r\nana@example.com\r\ninfo@empresa.es\r\nana@gmial.com\r\nbad@\r\n' \
    >"$work/lista.txt"
go plain "$work/lista.txt"
cp "$list" "$work/plain.list"
cp "$err" "$work/plain.err"
go resumen --resumen "$work/lista.txt"
if expect_status resumen 0; then
    cmp -s "$work/plain.list" "$list" || fail resumen "another list than without --resumen"
    {
        cat "$work/plain.err"
        printf '%s\n' 'Resumen: 5 direcciones en 1 grupo' \
            '2 entradas no parecen direcciones: active «Depurar la lista» (--depurar)' \
            'Aviso: ana@gmial.com: ¿quiso decir gmail.com?' \
            'Aviso: info@empresa.es: cuenta de función (no es de una persona)'
    } | cmp -s - "$err" || fail resumen "stderr: $(cat "$err")"
fi
go quiet -q "$work/lista.txt" "$work/lista.txt"
expect_status quiet 0 && { grep -q Resumen "$err" && fail quiet "a summary under --quiet"; }
go quiet-resumen -q --resumen "$work/lista.txt"
expect_status quiet-resumen 0 && { grep -q '^Resumen' "$err" || fail quiet-resumen "no summary"; }
# Standard input among several: named so in the report.
go stdin-several --informe "$work/informe.json" "$work/lista.txt" - <"$work/lista.txt"
expect_status stdin-several 0 &&
    { grep -q '"ruta": "(entrada estándar)"' "$work/informe.json" || fail stdin-several "$(cat "$work/informe.json")"; }

# --depurar --------------------------------------------------------------------------------------

go depurar --depurar "$work/lista.txt"
if expect_status depurar 0; then
    printf 'ana@example.com\r\n\r\nana@gmial.com, info@empresa.es, luis@example.org\r\n\r\n\r\n' |
        cmp -s - "$list" || fail depurar "$(od -c "$list" | head -5)"
    grep -qx 'Lista depurada: 1 entrada descartada y 1 corregida' "$err" ||
        fail depurar "$(tail -n 4 "$err")"
fi

# sendable [-v]: the lines that are an ASCII address a mail program takes (-v: the lines that are
# not; beyond ASCII only those with a blank, a bracket, a capital or not one "@"): a local part of
# 1 to 64 bytes without a dot at either end or two together, labels of 1 to 63 letters, digits
# and hyphens (none at either end), the last one two letters or more or xn--, 253 bytes of
# domain and 254 in all.
sendable() {
    LC_ALL=C awk -v invert="${1:-}" '
    function ok(a,    n, parts, local, domain, labels, i, m) {
        n = split(a, parts, "@")
        if (n != 2) return 0
        local = parts[1]; domain = parts[2]
        if (length(local) < 1 || length(local) > 64 || length(domain) > 253 || length(a) > 254) return 0
        if (local !~ /^[a-z0-9!#$%&'\''*+\/=?^_`{|}~-]+(\.[a-z0-9!#$%&'\''*+\/=?^_`{|}~-]+)*$/) return 0
        m = split(domain, labels, ".")
        if (m < 2) return 0
        for (i = 1; i <= m; ++i)
            if (length(labels[i]) < 1 || length(labels[i]) > 63 || labels[i] !~ /^[a-z0-9]([a-z0-9-]*[a-z0-9])?$/) return 0
        return labels[m] ~ /^([a-z][a-z]+|xn--[a-z0-9-]+)$/
    }
    {
        if ($0 ~ /^[ -~]*$/) {
            if ((invert == "-v") != ok($0)) print
        } else if (invert == "-v" && ($0 ~ /[][ \t<>(),;:"A-Z]/ || split($0, p, "@") != 2)) {
            print
        }
    }'
}

if [ -d "$corpus" ]; then
    files=0
    plain=0
    while IFS= read -r -d '' input; do
        files=$((files + 1))
        name=${input#"$corpus"/}
        go depurar-corpus --depurar "$input"
        case $status in
            0 | 1) ;;
            *)
                fail "$name" "status $status: $(head -c 300 "$err")"
                continue
                ;;
        esac
        bad=$(addresses | sendable -v)
        [ -z "$bad" ] || fail "$name" "listed what is no address: $(echo "$bad" | head -n 5 | tr '\n' ' ')"
        [ -z "$(addresses | uniq -d)" ] || fail "$name" "listed twice: $(addresses | uniq -d | head -n 3)"
        # A file's plain addresses all stay: those it is known to hold, or a text's lines that are
        # one. A form "xn--…" is left to the unit tests, which decode it; a list's ".htm" and
        # ".html" ends are no part of an address.
        exp=${input%.*}.expected
        if [ -f "$exp" ]; then
            expected "$exp"
        elif [[ $input == *.txt ]]; then
            sed '1s/^\xef\xbb\xbf//; s/\r$//; s/^ *//; s/ *$//' "$input" | tr 'A-Z' 'a-z' |
                LC_ALL=C grep -av '\.html\?$'
        fi | sendable | LC_ALL=C grep -av 'xn--' | LC_ALL=C sort -u >"$work/plain"
        plain=$((plain + $(wc -l <"$work/plain")))
        missing=$(LC_ALL=C comm -23 "$work/plain" <(addresses))
        [ -z "$missing" ] || fail "$name" "left out: $(tr '\n' ' ' <<<"$missing" | head -c 300)"
    done < <(find "$corpus" -type f ! -iname '*.md' ! -iname '*.expected' ! -iname '*.body' \
        ! -iname 'README*' ! -iname 'LICENSE*' -print0 | sort -z)
    echo "cli_varias: --depurar on $files corpus files, $plain plain addresses kept"
else
    echo "cli_varias: no corpus at $corpus; --depurar on it skipped"
fi

echo "cli_varias: $failures failures"
[ "$failures" -eq 0 ]
