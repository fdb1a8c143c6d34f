#!/usr/bin/env bash
# The browser edition in headless Chromium against the native command, in the same run, on the
# 100 MB inputs of compare.sh: times, the lists compared, peak memory; then plain lists of growing
# size until one fails; the site's sizes. Writes the "In the browser" section of bench/RESULTS.md.
#
#   bench/web.sh [--runs N] [--largest "400 800 1600"]
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$(pwd)
corridas=3
mayores="400 800 1600"
while (($#)); do
    case "$1" in
        --runs) corridas=$2; shift 2 ;;
        --largest) mayores=$2; shift 2 ;;
        -h|--help) sed -n '2,6p' "$0"; exit 0 ;;
        *) echo "web.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
./scripts/setup-web.sh time
export NODE_PATH=/usr/share/nodejs
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
sitio="$raiz/build/web/sitio"

construccion="$raiz/build/compare"
cmake -S "$raiz" -B "$construccion" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTRALMIX_BUILD_GUI=OFF -DTRALMIX_BUILD_TESTS=OFF -DTRALMIX_BUILD_BENCH=OFF >/dev/null
cmake --build "$construccion" --target tralmix-cli >/dev/null
entradas="$construccion/inputs"
mkdir -p "$entradas"
generar() {  # forma MB extension fin
    local archivo="$entradas/$1-${2}M.$3"
    if [[ ! -s $archivo ]]; then
        echo "web.sh: generating $archivo" >&2
        "$raiz/bench/gen_inputs" "$1" "${2}M" "$archivo" --seed 1 --eol "$4"
    fi
    echo "$archivo"
}
archivos=("$(generar mensajes 100 txt crlf)" "$(generar lista 100 txt crlf)"
          "$(generar ctt 100 ctt crlf)" "$(generar corta 100 txt lf)")
grandes=()
for mb in $mayores; do
    grandes+=("$(generar lista "$mb" txt crlf)")
done

cargaInicio=$(cut -d' ' -f1-3 /proc/loadavg)
filas=$(mktemp)
trap 'rm -f "$filas"' EXIT
CORRIDAS=$corridas node bench/web.mjs "$sitio" "$construccion/src/cli/tralmix-cli" "${archivos[@]}" \
    --mayores "${grandes[@]}" | tee "$filas" >&2

tamano() { stat -c %s "$sitio/$1"; }
comprimido() { gzip -9c "$sitio/$1" | wc -c; }
total=0
totalGz=0
for f in "$sitio"/*; do
    n=$(basename "$f")
    total=$((total + $(tamano "$n")))
    totalGz=$((totalGz + $(comprimido "$n")))
done
python3 - "$filas" bench/RESULTS.md "$(tamano motor.wasm)" "$(comprimido motor.wasm)" \
    "$(tamano motor.js)" "$(comprimido motor.js)" "$total" "$totalGz" \
    "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(chromium --version 2>/dev/null | head -n 1)" \
    "$(em++ --version | head -n 1 | grep -oE '[0-9]+\.[0-9]+\.[0-9]+' | head -n 1)" \
    "$cargaInicio" "$(cut -d' ' -f1-3 /proc/loadavg)" <<'EOF'
import json, sys
filas, destino, wasm, wasmGz, js, jsGz, total, totalGz, fecha, chromium, emcc, carga0, carga1 = sys.argv[1:14]
titulos = {"mensajes": "pasted messages", "lista": "plain list", "ctt": ".ctt contacts",
           "corta": "plain list, short lines"}
kb = lambda n: f"{int(n) / 1024:.0f} KB"
out = ["## In the browser", "",
       f"Made by `bench/web.sh`: `procesar` in headless {chromium.strip()} (the engine built by "
       f"Emscripten {emcc}, single-threaded, WebAssembly exceptions) "
       "and `tralmix-cli` in turns on the same inputs, median of each; the browser's time is "
       "from the call to the list's bytes in the page, its worker's engine already loaded. Every "
       "list was checked equal to the command's. Peak memory: the renderer process (the page "
       "and its workers) during each run, the largest of the runs, against the command's; at "
       "rest: the same renderer before a run, the page loaded and its worker's engine ready.", "", f"- Date: {fecha}",
       f"- Load average (1, 5, 15 min): {carga0} before, {carga1} after", "",
       "| input | size | browser (s) | native (s) | ratio | target | browser peak (MB) | "
       "native peak (MB) | browser peak × input | browser at rest (MB) |",
       "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|"]
objetivos = {"mensajes": 3.0, "lista": 2.5}
metas = []
mayores = []
for l in open(filas):
    r = json.loads(l)
    if r.get("mayor"):
        mayores.append(r)
        continue
    forma = r["entrada"].split("-")[0]
    objetivo = f"≤ {objetivos[forma]}" if forma in objetivos else "—"
    ratio = r["web"] / r["nativo"]
    igual = "" if r["iguales"] else " (lists differ!)"
    veces = r["picoWebMB"] * 2**20 / 100e6  # the inputs are 100,000,000 bytes
    out.append(f"| {titulos[forma]}{igual} | 100 MB | {r['web']:.2f} | {r['nativo']:.2f} | "
               f"{ratio:.1f} | {objetivo} | {r['picoWebMB']:.0f} | {r['picoNativoMB']:.0f} | "
               f"{veces:.1f} | {r['reposoWebMB']:.0f} |")
    if forma in objetivos:
        ok = ratio <= objetivos[forma]
        metas.append(f"- {'met' if ok else 'MISSED'}: {titulos[forma]} {ratio:.1f} × native "
                     f"(≤ {objetivos[forma]})")
    metas.append(f"- {'met' if veces <= 3 else 'MISSED'}: {titulos[forma]} peak {veces:.1f} × "
                 "the input (≤ 3)")
out += [""] + metas
out += ["", "Larger plain lists in the browser:", "", "| size | status | time (s) | peak (MB) | message |",
        "|---:|---:|---:|---:|---|"]
for r in mayores:
    mb = r["entrada"].split("-")[1].split("M")[0]
    if "error" in r:
        out.append(f"| {mb} MB | — | — | — | {r['error']} |")
    else:
        msg = " / ".join(m.replace("\n", " ") for m in r["mensajes"])
        out.append(f"| {mb} MB | {r['estado']} | {r['segundos']:.1f} | {r['picoWebMB']:.0f} | {msg} |")
out += ["", f"Site: {kb(total)} in all, {kb(totalGz)} gzipped; `motor.wasm` {kb(wasm)} "
        f"({kb(wasmGz)} gzipped), `motor.js` {kb(js)} ({kb(jsGz)} gzipped).", ""]
texto = "\n".join(out)
anterior = open(destino).read()
if "## In the browser" in anterior:
    anterior = anterior[:anterior.index("## In the browser")]
open(destino, "w").write(anterior.rstrip("\n") + "\n\n" + texto)
print(texto)
EOF
