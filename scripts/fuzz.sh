#!/usr/bin/env bash
# Builds the libFuzzer harnesses (fuzz preset, clang) and runs each for a while on a scratch copy
# of its seed corpus; the seeds in the repository are only read.
#   scripts/fuzz.sh [SECONDS [HARNESS...]]     default: 30 s each, every harness
# FUZZ_JOBS=2 runs two harnesses at a time; FUZZ_WORK keeps the new inputs and logs in that folder.
set -euo pipefail
cd "$(dirname "$0")/.."

segundos=${1:-30}
shift || true
harnesses=("$@")
if ((${#harnesses[@]} == 0)); then
    harnesses=(codec reemplazar limpieza masivo lista proceso formatos depuracion)
fi
jobs=${FUZZ_JOBS:-1}
work=${FUZZ_WORK:-$(mktemp -d "${TMPDIR:-/tmp}/tralmix-fuzz-XXXXXX")}
mkdir -p "$work"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

run_one() {
    local h=$1
    local args=(-max_total_time="$segundos" -timeout=30 -rss_limit_mb=2560 -print_final_stats=1
                -artifact_prefix="$work/$h-")
    case $h in
        limpieza | lista | masivo | proceso) args+=(-dict=fuzz/dict/tablas.dict) ;;
        # Its long texts (1 MiB) are read in well under a second by linear readers; one that is
        # quadratic takes minutes, and one that keeps every field allocates tens of MB at once.
        formatos) args+=(-dict=fuzz/dict/formatos.dict -timeout=10 -rss_limit_mb=1024
                         -malloc_limit_mb=16) ;;
        # A linear scan of the 64 KiB repetition takes milliseconds; a quadratic one, minutes.
        depuracion) args+=(-dict=fuzz/dict/depuracion.dict -timeout=10) ;;
    esac
    mkdir -p "$work/$h"
    # New inputs go to the scratch folder (first), the seeds are read from the repository.
    if build/fuzz/fuzz/"${h}"_fuzz "${args[@]}" "$work/$h" "fuzz/corpus/$h" >"$work/$h.log" 2>&1; then
        echo "$h: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/$h.log" | tail -1)"
    else
        echo "$h: FAILED, see $work/$h.log" >&2
        tail -40 "$work/$h.log" >&2
        return 1
    fi
}

fallos=0
pids=()
for h in "${harnesses[@]}"; do
    run_one "$h" &
    pids+=($!)
    if ((${#pids[@]} >= jobs)); then
        wait "${pids[0]}" || fallos=1
        pids=("${pids[@]:1}")
    fi
done
for p in "${pids[@]}"; do
    wait "$p" || fallos=1
done
if [[ -z ${FUZZ_WORK:-} && $fallos -eq 0 ]]; then
    rm -rf "$work"
fi
exit $fallos
