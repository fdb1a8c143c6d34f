#!/bin/sh
# Runs a test command that drives PROGRAM.exe under Wine, or reports it skipped (77) where that
# program cannot run (an i686 build on a kernel without 32-bit support).
#   con_wine.sh PROGRAM.exe COMMAND [ARGS...]
set -u
exe=$1
shift
"$(dirname "$0")/../../scripts/wine.sh" --puede "$exe" || exit 77
exec "$@"
