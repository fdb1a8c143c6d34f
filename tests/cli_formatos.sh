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
list=$work/out/Mails_20050305.txt
files=0
failures=0

fail() {
    echo "FAIL $1: $2"
    failures=$((failures + 1))
}

# run FILE [OPTION...]: the command's status; the list, if any, in $list.
run() {
    local input=$1
    shift
    rm -rf "$work/out" "$work/tmp"
    mkdir -p "$work/out" "$work/tmp"
    "$cli" --quiet --output-dir "$work/out" --temp-dir "$work/tmp" --date 2005-03-05 "$@" \
        "$input" >"$work/stdout" 2>"$work/stderr"
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
        run "$input"
        status=$?
        grep -v '^#' "$expected" | tr -d '\r' | grep -v '^$' | tr 'A-Z' 'a-z' | LC_ALL=C sort -u \
            >"$work/want"
        sed -n 's/^# doubtful: \([^ ]*\).*/\1/p' "$expected" | tr 'A-Z' 'a-z' >"$work/doubtful"
        addresses >"$work/got"
        if [ -s "$work/want" ] && [ "$status" -ne 0 ]; then
            fail "$input" "status $status: $(head -c 300 "$work/stderr")"
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
run "$work/sjis.csv"
status=$?
[ "$status" -eq 1 ] || fail sjis "status $status, expected 1"
grep -q 'Shift_JIS' "$work/stderr" || fail sjis "no reason given: $(head -c 200 "$work/stderr")"

# A .csv that is a plain list, in groups of 2 joined by "; ".
printf 'c@x.example\r\na@x.example\r\nb@x.example\r\n' >"$work/lista.csv"
run "$work/lista.csv" --group-size 2 --separator '; '
printf 'a@x.example\r\n\r\nb@x.example\r\n\r\n\r\nc@x.example\r\n\r\n' >"$work/want"
cmp -s "$work/want" "$list" || fail group-size "the list differs: $(od -c "$list" | head -5)"

for bad in "--group-size 0" "--group-size 1001" "--group-size 4x" "--separator ''"; do
    eval run "$work/lista.csv" "$bad"
    status=$?
    [ "$status" -eq 2 ] || fail "$bad" "status $status, expected 2"
    grep -q 'no válido' "$work/stderr" || fail "$bad" "no clear message: $(head -c 200 "$work/stderr")"
done

# Separators that would break, hide or join the list's addresses: refused, saying why.
for bad in $'\xc2\x85' $'\xe2\x80\xae' $'\xe2\x81\xa0' '@' ' y ' ', 5'; do
    run "$work/lista.csv" --separator "$bad"
    status=$?
    [ "$status" -eq 2 ] || fail "separator $(printf %q "$bad")" "status $status, expected 2"
    grep -q '^tralmix-cli: separador no válido: no puede' "$work/stderr" ||
        fail "separator $(printf %q "$bad")" "no reason given: $(head -c 200 "$work/stderr")"
done

echo "cli_formatos: $files files with expected addresses, $failures failures"
if [ "$files" -eq 0 ]; then
    echo "cli_formatos: no expected files found"
    exit 1
fi
[ "$failures" -eq 0 ]
