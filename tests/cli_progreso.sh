#!/usr/bin/env bash
# The command's progress line and its Ctrl-C: the line only on a terminal (or when asked), never
# with --quiet; an interrupt ends the run with status 130, no list and nothing half-written.
#
# Usage: cli_progreso.sh CLI
set -u

if [ $# -ne 1 ]; then
    echo "usage: $0 CLI" >&2
    exit 2
fi
cli=$1
if ! command -v script >/dev/null 2>&1; then
    echo "SKIP: script (util-linux) is not installed"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-progreso.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
# shellcheck source=SCRIPTDIR/cli_comun.sh
. "$(dirname "$0")/cli_comun.sh"
mkdir -p "$work/log" "$work/tmp"

# Progress shows from the first report on (TRALMIX_RETRASO_PROGRESO_MS=0, set by the caller or
# here), so its lines appear however fast the build is. Large enough for several reports.
export TRALMIX_RETRASO_PROGRESO_MS=${TRALMIX_RETRASO_PROGRESO_MS:-0}
grande="$work/grande.txt"
awk 'BEGIN { for (i = 0; i < 300000; i++) printf "u%07d@example.com\n", i }' >"$grande"

# tty TAG ARGS...: the command with a terminal as stdin, stdout and stderr; all it printed on the
# terminal is kept under TAG.
tty() {
    local tag=$1
    shift
    local linea="$cli"
    for a in "$@"; do
        linea+=" '$a'"
    done
    out="$work/log/$tag.tty"
    script -qefc "$linea" "$out" </dev/null >/dev/null 2>&1
    status=$?
    err=$out
}

o=$(fresh tty_out)
tty tty --output-dir "$o" --temp-dir "$work/tmp" --date $date_arg "$grande"
expect_status tty 0 && {
    grep -qa $'\r''Limpiando .*%' "$out" || fail tty "no progress line on a terminal"
    grep -qa "Se ha creado el archivo:" "$out" || fail tty "no announcement"
}

o=$(fresh quiet_out)
tty quiet --quiet --output-dir "$o" --temp-dir "$work/tmp" --date $date_arg "$grande"
expect_status quiet 0 && grep -qa '%' "$out" && fail quiet "progress shown despite --quiet"

o=$(fresh pipe_out)
run pipe --output-dir "$o" --temp-dir "$work/tmp" --date $date_arg "$grande"
expect_status pipe 0 && grep -qa '%' "$err" && fail pipe "progress shown on a file"

o=$(fresh forced_out)
run forced --progress --output-dir "$o" --temp-dir "$work/tmp" --date $date_arg "$grande"
expect_status forced 0 && { grep -qa '%' "$err" || fail forced "no progress with --progress"; }

# Ctrl-C, SIGTERM or SIGHUP in the middle: status 128 + the signal, no list, no temporary file
# beside it; an earlier list stays. The run is held at its first progress report until stopped,
# so the signal surely comes mid-way.
for c in INT:130 TERM:143 HUP:129; do
    sig=${c%%:*}
    o=$(fresh "sig_out_$sig")
    t=$(fresh "sig_tmp_$sig")
    printf 'earlier list\r\n' >"$o/$list_name"
    TRALMIX_RETENER_HASTA_PARAR=1 "$cli" --output-dir "$o" --temp-dir "$t" --date $date_arg "$grande" >"$work/log/$sig.out" \
        2>"$work/log/$sig.err" &
    pid=$!
    for _ in $(seq 1 200); do
        [ -e "$t/grande.txt" ] && break
        sleep 0.05
    done
    kill -"$sig" "$pid"
    wait "$pid"
    status=$?
    expect_status "$sig" "${c#*:}"
    [ "$(cat "$o/$list_name")" = "earlier list"$'\r' ] || fail "$sig" "the earlier list changed"
    [ "$(ls -A "$o")" = "$list_name" ] || fail "$sig" "left behind: $(ls -A "$o")"
    [ -z "$(ls -A "$t")" ] || fail "$sig" "left in the temporary folder: $(ls -A "$t")"
    [ -s "$work/log/$sig.out" ] && fail "$sig" "stdout not empty: $(head -c 200 "$work/log/$sig.out")"
    grep -qx 'Interrumpido: no se creó la lista.' "$work/log/$sig.err" ||
        fail "$sig" "no word of the stop: $(head -c 200 "$work/log/$sig.err")"
done

# Ctrl-C while standard input is still being read: the same stop, and the copy goes too. The
# input stays open (a FIFO held by this script) until the copy's folder shows the read began.
t=$(fresh stdin_tmp)
mkfifo "$work/entrada"
"$cli" --output-dir "$t" --temp-dir "$t" - <"$work/entrada" >"$work/log/stdin.out" \
    2>"$work/log/stdin.err" &
pid=$!
exec 3>"$work/entrada"
until compgen -G "$t/tralmix-*" >/dev/null || ! kill -0 "$pid" 2>/dev/null; do
    sleep 0.05
done
# A command that stopped reading must not end this script with SIGPIPE.
trap '' PIPE
printf 'a@example.com\r\n' >&3 2>/dev/null
kill -INT "$pid" 2>/dev/null
wait "$pid"
status=$?
exec 3>&-
err=$work/log/stdin.err
expect_status stdin-INT 130
grep -qx 'Interrumpido: no se creó la lista.' "$err" || fail stdin-INT "$(head -c 200 "$err")"
[ -z "$(ls -A "$t")" ] || fail stdin-INT "left behind: $(ls -A "$t")"

echo "cli_progreso: $failures failures"
[ "$failures" -eq 0 ]
