#!/usr/bin/env bash
# tralmix-cli side by side with the pipelines people use instead, on generated inputs of each
# shape: on two cores and pinned to one core, each comparison run twice with the order of the
# two commands swapped, in one hyperfine run per order. Also peak memory, page faults and (with
# heaptrack) allocations of tralmix-cli, and the load average around the measurements. Writes the
# tables and the targets to bench/RESULTS.md (or the file given with -o).
#
#   bench/compare.sh [-o RESULTS.md] [-s "10 100"]
#                    [-f "mensajes lista ctt corta mbox varias depurar depurarlista"] [--runs N]
#                    [--antes COMMIT]
#
# "varias" is one run on two lists of half the size minus an exclusion list of a tenth (every
# tenth line of both), beside the run on one list of the whole size. "depurar" and
# "depurarlista" are the run on the pasted messages and on the plain list with --depurar, beside
# the same run without it. --antes COMMIT also builds that commit's command and runs it in the
# same hyperfine runs, so that a change is claimed against the build before it, side by side.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$(pwd)

resultados="$raiz/bench/RESULTS.md"
tamanos="10 100"
corridas=5
antes=
formas=(mensajes lista ctt corta mbox varias depurar depurarlista)
while (($#)); do
    case "$1" in
        -o) resultados=$(realpath -m "$2"); shift 2 ;;
        -s) tamanos=$2; shift 2 ;;
        -f) read -r -a formas <<<"$2"; shift 2 ;;
        --runs) corridas=$2; shift 2 ;;
        --antes) antes=$2; shift 2 ;;
        -h|--help) sed -n '2,18p' "$0"; exit 0 ;;
        *) echo "compare.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

# The tools, from Debian packages.
faltan=()
command -v hyperfine >/dev/null || faltan+=(hyperfine)
command -v rg >/dev/null || faltan+=(ripgrep)
command -v taskset >/dev/null || faltan+=(util-linux)
command -v heaptrack >/dev/null || faltan+=(heaptrack)
[[ -x /usr/bin/time ]] || faltan+=(time)
command -v python3 >/dev/null || faltan+=(python3)
command -v git >/dev/null || faltan+=(git)  # --antes takes the earlier commit from the history
if ((${#faltan[@]})); then
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
    echo "compare.sh: installing ${faltan[*]}" >&2
    if ! { "${sudo_cmd[@]}" apt-get update -qq &&
           DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
               --no-install-recommends "${faltan[@]}"; }; then
        echo "compare.sh: please install: apt-get install ${faltan[*]}" >&2
        exit 1
    fi
fi

# A release build of the command, beside the others.
construccion="$raiz/build/compare"
cmake -S "$raiz" -B "$construccion" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTRALMIX_BUILD_GUI=OFF -DTRALMIX_BUILD_TESTS=OFF -DTRALMIX_BUILD_BENCH=OFF >/dev/null
cmake --build "$construccion" --target tralmix-cli >/dev/null
cli="$construccion/src/cli/tralmix-cli"
cliAntes=
if [[ -n $antes ]]; then
    fuentesAntes="$raiz/build/compare-antes-src"
    rm -rf "$fuentesAntes"
    mkdir -p "$fuentesAntes"
    git -C "$raiz" archive "$antes" | tar -x -C "$fuentesAntes"
    cmake -S "$fuentesAntes" -B "$raiz/build/compare-antes" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DTRALMIX_BUILD_GUI=OFF -DTRALMIX_BUILD_TESTS=OFF -DTRALMIX_BUILD_BENCH=OFF >/dev/null
    cmake --build "$raiz/build/compare-antes" --target tralmix-cli >/dev/null
    cliAntes="$raiz/build/compare-antes/src/cli/tralmix-cli"
fi

entradas="$construccion/inputs"
trabajo="$construccion/run"
mkdir -p "$entradas" "$trabajo/out" "$trabajo/tmp"

regex='[A-Za-z0-9._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]{2,}'
declare -A extension=([mensajes]=txt [lista]=txt [ctt]=ctt [corta]=txt [mbox]=mbox [varias]=txt
    [depurar]=txt [depurarlista]=txt)
declare -A fin=([mensajes]=crlf [lista]=crlf [ctt]=crlf [corta]=lf [mbox]=lf [varias]=crlf
    [depurar]=crlf [depurarlista]=crlf)
# The input each clean-up shape runs on: the same file as that shape's own row.
declare -A deLaForma=([depurar]=mensajes [depurarlista]=lista)
opciones="--output-dir '$trabajo/out' --temp-dir '$trabajo/tmp' --date 2005-03-05 --quiet"
generar() {  # forma tamaño archivo semilla
    if [[ ! -s $3 ]]; then
        echo "compare.sh: generating $3" >&2
        "$raiz/bench/gen_inputs" "$1" "$2" "$3" --seed "$4" --eol "${fin[$1]}"
    fi
}

filas="$trabajo/filas.tsv"
: >"$filas"
carga() { cut -d' ' -f1-3 /proc/loadavg; }
cargaInicio=$(carga)

for forma in "${formas[@]}"; do
    for mb in $tamanos; do
        if [[ $forma == varias ]]; then
            if ! "$cli" --help 2>&1 | grep -q -- '--excluir'; then
                echo "compare.sh: varias needs tralmix-cli --excluir and several inputs; skipped" >&2
                continue
            fi
            # The peer is the run on one list of the same size as both together.
            archivo="$entradas/lista-${mb}M.txt"
            generar lista "${mb}M" "$archivo" 1
            unaA="$entradas/lista-$((mb / 2))M-a.txt"
            unaB="$entradas/lista-$((mb / 2))M-b.txt"
            bajas="$entradas/bajas-${mb}M.txt"
            generar lista "$((mb / 2))M" "$unaA" 2
            generar lista "$((mb / 2))M" "$unaB" 3
            [[ -s $bajas ]] || awk 'NR % 10 == 1' "$unaA" "$unaB" >"$bajas"
            tralmix="'$cli' $opciones --excluir '$bajas' '$unaA' '$unaB'"
            par="'$cli' $opciones '$archivo'"
        elif [[ -n ${deLaForma[$forma]:-} ]]; then
            if ! "$cli" --help 2>&1 | grep -q -- '--depurar'; then
                echo "compare.sh: $forma needs tralmix-cli --depurar; skipped" >&2
                continue
            fi
            # The peer is the same run without the clean-up.
            base=${deLaForma[$forma]}
            archivo="$entradas/$base-${mb}M.${extension[$base]}"
            generar "$base" "${mb}M" "$archivo" 1
            tralmix="'$cli' $opciones --depurar '$archivo'"
            par="'$cli' $opciones '$archivo'"
        else
            archivo="$entradas/$forma-${mb}M.${extension[$forma]}"
            generar "$forma" "${mb}M" "$archivo" 1
            tralmix="'$cli' $opciones '$archivo'"
            if [[ $forma == mensajes || $forma == mbox ]]; then
                par="LC_ALL=C rg -o '$regex' '$archivo' | LC_ALL=C sort -u"
            else
                par="LC_ALL=C grep '@' '$archivo' | LC_ALL=C sort"
            fi
        fi
        # The same run by the build before, where it knows the options.
        previo=
        if [[ -n $cliAntes ]]; then
            previo=${tralmix/"'$cli'"/"'$cliAntes'"}
            if [[ $forma == varias ]] && ! "$cliAntes" --help 2>&1 | grep -q -- '--excluir'; then
                previo=
            fi
            if [[ -n ${deLaForma[$forma]:-} ]] &&
                ! "$cliAntes" --help 2>&1 | grep -q -- '--depurar'; then
                previo=
            fi
        fi
        for nucleos in 2 1; do
            c=()
            if [[ $nucleos == 1 ]]; then
                a="taskset -c 0 sh -c \"$tralmix >/dev/null\""
                b="taskset -c 0 sh -c \"$par >/dev/null\""
                [[ -z $previo ]] || c=(-n antes "taskset -c 0 sh -c \"$previo >/dev/null\"")
            else
                a="$tralmix"
                b="$par"
                [[ -z $previo ]] || c=(-n antes "$previo")
            fi
            echo "compare.sh: $forma ${mb} MB, $nucleos core(s)" >&2
            # Both orders, so that neither command always runs on a machine the other warmed.
            for orden in ab ba; do
                json="$trabajo/$forma-$mb-$nucleos-$orden.json"
                if [[ $orden == ab ]]; then
                    hyperfine --style none --warmup 1 --runs "$corridas" --export-json "$json" \
                        -n tralmix "$a" -n par "$b" "${c[@]}" >&2
                else
                    hyperfine --style none --warmup 1 --runs "$corridas" --export-json "$json" \
                        "${c[@]}" -n par "$b" -n tralmix "$a" >&2
                fi
                python3 - "$json" "$forma" "$mb" "$nucleos" >>"$filas" <<'EOF'
import json, sys
datos = json.load(open(sys.argv[1]))
for r in datos["results"]:
    for t in r["times"]:
        print("\t".join(["tiempo", sys.argv[2], sys.argv[3], sys.argv[4], r["command"], str(t)]))
EOF
            done
        done
        # Peak memory and page faults of one more run; allocations under heaptrack.
        /usr/bin/time -f '%M %R %F' -o "$trabajo/time.txt" sh -c "$tralmix >/dev/null 2>&1"
        read -r kb menores _ <"$trabajo/time.txt"
        asignaciones=-
        if [[ $forma != varias && -z ${deLaForma[$forma]:-} ]] && command -v heaptrack >/dev/null; then
            rm -f "$trabajo"/heaptrack.*
            if heaptrack -o "$trabajo/heaptrack" "$cli" --output-dir "$trabajo/out" \
                   --temp-dir "$trabajo/tmp" --date 2005-03-05 --quiet "$archivo" >/dev/null 2>&1; then
                perfil=$(ls "$trabajo"/heaptrack.* 2>/dev/null | head -n 1)
                if [[ -n $perfil ]]; then
                    asignaciones=$(heaptrack_print "$perfil" 2>/dev/null |
                        sed -n 's/^calls to allocation functions: \([0-9]*\).*/\1/p' | head -n 1)
                fi
            fi
        fi
        printf 'memoria\t%s\t%s\t%s\t%s\t%s\t%s\n' "$forma" "$mb" "$kb" "$menores" \
            "$(stat -c %s "$archivo")" "${asignaciones:--}" >>"$filas"
    done
done
cargaFin=$(carga)

maquina="$(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), \
$(free -g | awk '/^Mem:/{print $2}') GB memory, $(uname -r)"
python3 - "$filas" "$resultados" "$maquina" "$(date -u '+%Y-%m-%d %H:%M UTC')" \
    "$cargaInicio" "$cargaFin" "$antes" <<'EOF'
import statistics, sys
from collections import defaultdict
filas, destino, maquina, fecha, carga0, carga1, antes = sys.argv[1:8]
tiempos = defaultdict(list)
memoria = {}
for l in open(filas):
    c = l.rstrip("\n").split("\t")
    if c[0] == "tiempo":
        tiempos[(c[1], int(c[2]), int(c[3]), c[4])].append(float(c[5]))
    else:
        memoria[(c[1], int(c[2]))] = (int(c[3]) / 1024, int(c[4]), int(c[5]), c[6])
med = {k: statistics.median(v) for k, v in tiempos.items()}
titulos = {"mensajes": "pasted messages", "lista": "plain list", "ctt": ".ctt contacts",
           "corta": "plain list, short lines", "mbox": "saved mail (mbox)",
           "varias": "two lists minus an exclusion list",
           "depurar": "pasted messages, --depurar", "depurarlista": "plain list, --depurar"}
pares = {"mensajes": "`rg -o RE \\| sort -u`", "lista": "`grep @ \\| sort`",
         "ctt": "`grep @ \\| sort`", "corta": "`grep @ \\| sort`",
         "mbox": "`rg -o RE \\| sort -u`", "varias": "`tralmix-cli` on one list of the size",
         "depurar": "`tralmix-cli` without --depurar", "depurarlista": "`tralmix-cli` without --depurar"}
# Ratio targets on two cores and on one; peak memory against the input.
meta = {"mensajes": (0.4, 0.7), "lista": (0.45, 0.6), "ctt": (0.6, 0.6), "corta": (0.6, 0.6),
        "mbox": (0.8, 0.8), "varias": (1.15, 1.15), "depurar": (1.10, 1.10),
        "depurarlista": (1.10, 1.10)}
metaMemoria = {"mensajes": 0.6, "lista": 1.3}
formas = [f for f in ["mensajes", "lista", "ctt", "corta", "mbox", "varias", "depurar",
                      "depurarlista"]
          if any(k[0] == f for k in med)]
tamanos = sorted({k[1] for k in med})
out, objetivos = [], []
def linea(texto, ok):
    objetivos.append(f"- {'met' if ok else 'MISSED'}: {texto}")
conAntes = any(k[3] == "antes" for k in med)
out.append("| input | size | cores | tralmix (s) | peer | peer (s) | ratio | target |" +
           (" before (s) | × before |" if conAntes else ""))
out.append("|---|---:|---:|---:|---|---:|---:|---:|" + ("---:|---:|" if conAntes else ""))
for f in formas:
    for mb in tamanos:
        for n in (2, 1):
            t, p = med.get((f, mb, n, "tralmix")), med.get((f, mb, n, "par"))
            if t is None or p is None:
                continue
            r = t / p
            m = meta[f][0 if n == 2 else 1]
            fila = (f"| {titulos[f]} | {mb} MB | {n} | {t:.3f} | {pares[f]} | {p:.3f} | "
                    f"{r:.2f} | ≤ {m} |")
            if conAntes:
                q = med.get((f, mb, n, "antes"))
                fila += f" {q:.3f} | {t / q:.2f} |" if q else " — | — |"
            out.append(fila)
            if mb == max(tamanos):
                linea(f"{titulos[f]} {mb} MB on {n} core(s): {r:.2f} × {pares[f]} (≤ {m})",
                      r <= m)
out.append("")
out.append("Median of all runs of both orders. Peers: " + "; ".join(
    f"{titulos[f]}: {pares[f]}" for f in formas) + ". One core: `taskset -c 0` on each side." +
    (f" Before: the build of {antes}, in the same hyperfine runs." if conAntes else ""))
out.append("")
out.append("| input | size | peak RSS (MB) | × input | minor page faults | allocations |")
out.append("|---|---:|---:|---:|---:|---:|")
for f in formas:
    for mb in tamanos:
        if (f, mb) not in memoria:
            continue
        rss, menores, tam, asig = memoria[(f, mb)]
        x = rss * 1024 * 1024 / tam
        out.append(f"| {titulos[f]} | {mb} MB | {rss:.0f} | {x:.2f} | {menores} | {asig} |")
        if mb == max(tamanos):
            mm = metaMemoria.get(f, 1.5)
            linea(f"{titulos[f]} {mb} MB peak memory: {x:.2f} × the input (≤ {mm})", x <= mm)
out.append("")
if 10 in tamanos and 100 in tamanos:
    out.append("| input | 10 MB (s) | 100 MB (s) | growth |")
    out.append("|---|---:|---:|---:|")
    for f in formas:
        a, b = med.get((f, 10, 2, "tralmix")), med.get((f, 100, 2, "tralmix"))
        if a and b:
            out.append(f"| {titulos[f]} | {a:.3f} | {b:.3f} | {b / a:.1f}× |")
            linea(f"{titulos[f]} growth 10 → 100 MB: {b / a:.1f} × (≤ 10.5)", b / a <= 10.5)
    out.append("")
tabla = "\n".join(out)
notas = ""
try:
    anterior = open(destino).read()
    # Everything after the targets (notes, the other scripts' sections) is kept as it is.
    if "\n## Targets\n" in anterior:
        resto = anterior[anterior.index("\n## Targets\n") + 1:]
        if "\n## " in resto:
            notas = resto[resto.index("\n## ") + 1:]
except FileNotFoundError:
    pass
with open(destino, "w") as d:
    d.write("# Benchmark results\n\n")
    d.write("Made by `bench/compare.sh` (hyperfine; peak memory and page faults from "
            "`/usr/bin/time`, allocations from heaptrack). Inputs from `bench/gen_inputs` with "
            "seed 1.\n\n")
    d.write(f"- Date: {fecha}\n- Machine: {maquina}\n"
            f"- Load average (1, 5, 15 min): {carga0} before, {carga1} after\n\n")
    d.write(tabla + "\n")
    d.write("\n## Targets\n\n" + "\n".join(objetivos) + "\n")
    if notas:
        d.write("\n" + notas)
print(tabla)
print("\n".join(objetivos))
EOF
echo "compare.sh: results in $resultados" >&2
