#!/usr/bin/env bash
# Runs tralmix-cli on every fixture under GOLDEN_DIR and compares its result byte for byte.
#
#   NAME.input.txt | NAME.input.ctt   the input
#   NAME.expected                     the exact list; its absence means the input must be refused
#   NAME.stderr                       the exact messages; @RESULT@ stands for the list's path,
#                                     @INPUT@ for the input's
#   NAME.$GOLDEN_PLATFORM.expected    when present, the list on that platform instead: only for
#                                     the characters whose casing differs there (docs/windows.md)
#
# Usage: cli_golden.sh CLI GOLDEN_DIR
set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 CLI GOLDEN_DIR" >&2
    exit 2
fi
cli=$1
golden=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-golden.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
# shellcheck source=SCRIPTDIR/cli_comun.sh
. "$(dirname "$0")/cli_comun.sh"
checked=0

# Shows where two files differ, one character per line, so CR, tabs and bytes are visible.
show_diff() {
    diff <(od -An -c -w1 -v "$1") <(od -An -c -w1 -v "$2") | head -n 40
}

shopt -s nullglob
inputs=("$golden"/*.input.*)
if [ ${#inputs[@]} -eq 0 ]; then
    echo "no fixtures in $golden" >&2
    exit 1
fi

for input in "${inputs[@]}"; do
    file=${input##*/}
    name=${file%%.input.*}
    expected="$golden/$name.expected"
    if [ -n "${GOLDEN_PLATFORM:-}" ] && [ -f "$golden/$name.$GOLDEN_PLATFORM.expected" ]; then
        expected="$golden/$name.$GOLDEN_PLATFORM.expected"
        # Only those characters may differ: İ, ẞ, ǅ, or a capital sigma that may end a word.
        if ! grep -qE $'\xC4\xB0|\xE1\xBA\x9E|\xC7\x85|\xCE\xA3' "$input"; then
            fail "$name" "$GOLDEN_PLATFORM list for an input without a character that may differ"
        fi
    fi
    expected_err="$golden/$name.stderr"
    checked=$((checked + 1))

    caso="$work/$name"
    mkdir -p "$caso/out" "$caso/tmp"
    salida="$caso/out"
    list="$salida/$list_name"

    run "$name" --output-dir "$salida" --temp-dir "$caso/tmp" --date "$date_arg" "$input"

    if [ -f "$expected" ]; then
        if [ "$status" -ne 0 ]; then
            fail "$name" "exit status $status, expected 0; stderr:"
            sed 's/^/    /' "$err"
            continue
        fi
        printf '%s\n' "$list" >"$caso/stdout.want"
        if ! cmp -s "$caso/stdout.want" "$out"; then
            fail "$name" "stdout is not the list's path alone"
            diff "$caso/stdout.want" "$out" | sed 's/^/    /'
        fi
        if [ ! -f "$list" ]; then
            fail "$name" "no list at $list"
        elif ! cmp -s "$expected" "$list"; then
            fail "$name" "list differs from $name.expected (< expected, > actual)"
            show_diff "$expected" "$list" | sed 's/^/    /'
        fi
        extra=$(find "$salida" -mindepth 1 ! -name "$list_name" | head -n 5)
        if [ -n "$extra" ]; then
            fail "$name" "output folder holds more than the list: $extra"
        fi
    else
        if [ "$status" -ne 1 ]; then
            fail "$name" "exit status $status, expected 1 (refused)"
        fi
        if [ -s "$out" ]; then
            fail "$name" "a refused run printed on stdout: $(head -c 200 "$out")"
        fi
        if [ -n "$(ls -A "$salida")" ]; then
            fail "$name" "a refused run left files in the output folder: $(ls -A "$salida")"
        fi
    fi

    if [ -f "$expected_err" ]; then
        # The placeholder is replaced literally: the path may hold characters special to sed.
        case $input in
            /*) absolute=$input ;;
            *) absolute=$PWD/$input ;;
        esac
        awk -v p="$list" -v e="$absolute" '{
             gsub(/@RESULT@/, "\001"); gsub(/@INPUT@/, "\002");
             s = ""; for (i = 1; i <= length($0); i++) { c = substr($0, i, 1);
                 s = s (c == "\001" ? p : c == "\002" ? e : c) } print s }' \
            "$expected_err" >"$caso/stderr.want"
        if ! cmp -s "$caso/stderr.want" "$err"; then
            fail "$name" "messages differ from $name.stderr (< expected, > actual)"
            diff "$caso/stderr.want" "$err" | sed 's/^/    /'
        fi
    else
        fail "$name" "fixture has no $name.stderr"
    fi
done

echo "cli_golden: $checked fixtures, $failures failures"
[ "$failures" -eq 0 ]
