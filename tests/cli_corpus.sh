#!/usr/bin/env bash
# Runs tralmix-cli on every real input of the corpus: each run must end with a written list
# (status 0) or the program's own refusal (status 1), never a usage or file-system error and
# never a signal.
#
# Usage: cli_corpus.sh CLI CORPUS_DIR   (exit 77, skipped, when CORPUS_DIR does not exist)
set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 CLI CORPUS_DIR" >&2
    exit 2
fi
cli=$1
corpus=$2
if [ ! -d "$corpus" ]; then
    echo "cli_corpus: no corpus at $corpus, skipped"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-corpus.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
# shellcheck source=SCRIPTDIR/cli_comun.sh
. "$(dirname "$0")/cli_comun.sh"
# A hung run would stall the whole suite; the limit is generous and says nothing about speed.
RUN_LIMIT=300

files=0
written=0
refused=0

# failed NAME WHY: a failure, with what the run said.
failed() {
    fail "$1" "$2"
    sed 's/^/    /' "$err" | head -n 10
}

while IFS= read -r -d '' input; do
    name=${input#"$corpus"/}
    files=$((files + 1))
    rm -rf "$work/out" "$work/tmp"
    mkdir -p "$work/out" "$work/tmp"
    run corpus --output-dir "$work/out" --temp-dir "$work/tmp" --date "$date_arg" "$input"
    case $status in
        0)
            written=$((written + 1))
            if [ ! -f "$work/out/$list_name" ]; then
                failed "$name" "status 0 but no list"
            elif [ "$(cat "$out")" != "$work/out/$list_name" ]; then
                failed "$name" "stdout is not the list's path: $(head -c 200 "$out")"
            fi
            ;;
        1)
            refused=$((refused + 1))
            [ -e "$work/out/$list_name" ] && failed "$name" "refused, yet a list was written"
            ;;
        124) failed "$name" "still running after the guard's limit" ;;
        2) failed "$name" "usage error (status 2)" ;;
        3) failed "$name" "file-system error (status 3)" ;;
        *)
            if [ "$status" -gt 128 ]; then
                failed "$name" "killed by signal $((status - 128))"
            else
                failed "$name" "unexpected status $status"
            fi
            ;;
    esac
done < <(find "$corpus" -type f ! -iname '*.md' ! -iname 'README*' ! -iname 'LICENSE*' -print0 | sort -z)

echo "cli_corpus: $files files, $written lists written, $refused refused, $failures failures"
if [ "$files" -eq 0 ]; then
    echo "cli_corpus: no input files under $corpus"
    exit 1
fi
[ "$failures" -eq 0 ]
