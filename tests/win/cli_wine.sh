#!/usr/bin/env bash
# Stands for tralmix-cli in the command's shell tests: runs tralmix-cli.exe ($TRALMIX_CLI_EXE)
# under Wine with the same arguments and gives back its output with the Windows paths written as
# Unix ones again (Z:\tmp\x\out/Mails_….txt becomes /tmp/x/out/Mails_….txt), so that the tests
# compare it with what they expect on Linux. Unix paths need no conversion on the way in: with the
# current folder on drive Z:, "/tmp/x" is "Z:\tmp\x".
set -u
aqui=$(cd "$(dirname "$0")" && pwd)
exe=${TRALMIX_CLI_EXE:?TRALMIX_CLI_EXE names tralmix-cli.exe}
salida=$(mktemp)
errores=$(mktemp)
trap 'rm -f "$salida" "$errores"' EXIT
"$aqui/../../scripts/wine.sh" "$exe" "$@" >"$salida" 2>"$errores"
estado=$?
a_unix() {
    # A path stands alone on its line; only drive Z: maps to the Unix root.
    awk '{ if (index($0, "Z:\\") == 1) { $0 = substr($0, 3); gsub(/\\/, "/") } print }' "$1"
}
a_unix "$salida"
a_unix "$errores" >&2
exit "$estado"
