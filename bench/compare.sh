#!/usr/bin/env bash
# Whole-process comparison of tralmix-cli with the pipelines people use instead, on generated
# inputs of 1, 10 and 100 MB of each shape, measured side by side in one hyperfine run per input.
# Writes the table, the machine and the date to bench/RESULTS.md (or the file given with -o).
#
#   bench/compare.sh [-o RESULTS.md] [-s "1 10 100"] [--runs N]
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$(pwd)

resultados="$raiz/bench/RESULTS.md"
tamanos="1 10 100"
corridas=5
while (($#)); do
    case "$1" in
        -o) resultados=$(realpath -m "$2"); shift 2 ;;
        -s) tamanos=$2; shift 2 ;;
        --runs) corridas=$2; shift 2 ;;
        -h|--help) sed -n '2,6p' "$0"; exit 0 ;;
        *) echo "compare.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

# The tools: hyperfine, ripgrep and GNU time come from Debian packages.
faltan=()
command -v hyperfine >/dev/null || faltan+=(hyperfine)
command -v rg >/dev/null || faltan+=(ripgrep)
[[ -x /usr/bin/time ]] || faltan+=(time)
command -v python3 >/dev/null || faltan+=(python3)
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

entradas="$construccion/inputs"
trabajo="$construccion/run"
mkdir -p "$entradas" "$trabajo/out" "$trabajo/tmp"

regex='[A-Za-z0-9._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]{2,}'
formas=(mensajes lista ctt)
declare -A extension=([mensajes]=txt [lista]=txt [ctt]=ctt)

filas="$trabajo/filas.tsv"
: >"$filas"
: >"$filas.med"

for forma in "${formas[@]}"; do
    for mb in $tamanos; do
        archivo="$entradas/$forma-${mb}M.${extension[$forma]}"
        if [[ ! -s $archivo ]]; then
            echo "compare.sh: generating $archivo" >&2
            "$raiz/bench/gen_inputs" "$forma" "${mb}M" "$archivo" --seed 1
        fi
        nombres=(tralmix "grep -oE | sort -u" "rg -o | sort -u" cat)
        comandos=(
            "'$cli' --output-dir '$trabajo/out' --temp-dir '$trabajo/tmp' --date 2005-03-05 '$archivo'"
            "LC_ALL=C grep -oE '$regex' '$archivo' | LC_ALL=C sort -u"
            "LC_ALL=C rg -o '$regex' '$archivo' | LC_ALL=C sort -u"
            "cat '$archivo' > /dev/null"
        )
        if [[ $forma != mensajes ]]; then
            nombres+=("grep @ | sort")
            comandos+=("LC_ALL=C grep '@' '$archivo' | LC_ALL=C sort")
        fi
        echo "compare.sh: $forma ${mb} MB" >&2
        json="$trabajo/$forma-$mb.json"
        hyperfine --style basic --warmup 1 --runs "$corridas" --export-json "$json" \
            "${comandos[@]}" >&2
        # Peak memory of one more run of each (for a pipeline: its largest process).
        for i in "${!comandos[@]}"; do
            kb=$(/usr/bin/time -f '%M' sh -c "${comandos[$i]} >/dev/null 2>&1" 2>&1 >/dev/null |
                tail -n 1)
            printf '%s\t%s\t%s\t%s\t%s\n' "$forma" "$mb" "${nombres[$i]}" "$kb" \
                "$(stat -c %s "$archivo")" >>"$filas"
        done
        python3 - "$json" "$filas" "$forma" "$mb" "${nombres[@]}" <<'EOF'
import json, sys
datos = json.load(open(sys.argv[1]))
filas, forma, mb, nombres = sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]
medianas = {n: r["median"] for n, r in zip(nombres, datos["results"])}
with open(filas + ".med", "a") as f:
    for n in nombres:
        f.write(f"{forma}\t{mb}\t{n}\t{medianas[n]}\n")
EOF
    done
done

maquina="$(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), \
$(free -g | awk '/^Mem:/{print $2}') GB memory"
python3 - "$filas" "$resultados" "$maquina" "$(date -u '+%Y-%m-%d %H:%M UTC')" \
    "$(uptime | sed 's/.*load average: //')" <<'EOF'
import sys
from collections import defaultdict
filas, destino, maquina, fecha, carga = sys.argv[1:6]
med = {}
for l in open(filas + ".med"):
    forma, mb, n, s = l.rstrip("\n").split("\t")
    med[(forma, int(mb), n)] = float(s)
rss = {}
tam = {}
for l in open(filas):
    forma, mb, n, kb, b = l.rstrip("\n").split("\t")
    rss[(forma, int(mb), n)] = int(kb) / 1024
    tam[(forma, int(mb))] = int(b)
titulos = {"mensajes": "pasted messages", "lista": "plain list", "ctt": ".ctt contacts"}
pares = ["grep -oE | sort -u", "rg -o | sort -u", "grep @ | sort", "cat"]
tamanos = sorted({k[1] for k in med})
out = []
celda = lambda p: p.replace("|", "\\|")
out.append("| input | size | tralmix (s) | " + " | ".join(f"{celda(p)} (s) / ratio" for p in pares)
           + " | tralmix peak RSS (MB) / × input |")
out.append("|---|---:|---:|" + "---:|" * len(pares) + "---:|")
for forma in ["mensajes", "lista", "ctt"]:
    for mb in tamanos:
        t = med.get((forma, mb, "tralmix"))
        if t is None:
            continue
        celdas = []
        for p in pares:
            v = med.get((forma, mb, p))
            # hyperfine subtracts the shell's start-up, so a tiny command can come out at 0
            celdas.append("–" if v is None else f"{v:.3f} / {t / v:.2f}" if v > 0 else f"{v:.3f} / –")
        r = rss[(forma, mb, "tralmix")]
        out.append(f"| {titulos[forma]} | {mb} MB | {t:.3f} | " + " | ".join(celdas)
                   + f" | {r:.0f} / {r * 1024 * 1024 / tam[(forma, mb)]:.2f} |")
out.append("")
out.append("Ratio = tralmix median / peer median, from the same hyperfine run. Peak RSS of the peers "
           "(largest process of the pipeline): " + "; ".join(
               f"{titulos[f]} {mb} MB: " + ", ".join(
                   f"`{p}` {rss[(f, mb, p)]:.0f} MB" for p in pares if (f, mb, p) in rss)
               for f in ["mensajes", "lista", "ctt"] for mb in tamanos[-1:] if (f, mb, "tralmix") in rss) + ".")
out.append("")
if 10 in tamanos and 100 in tamanos:
    out.append("| input | tralmix 10 MB (s) | tralmix 100 MB (s) | growth 10→100 |")
    out.append("|---|---:|---:|---:|")
    for forma in ["mensajes", "lista", "ctt"]:
        a, b = med.get((forma, 10, "tralmix")), med.get((forma, 100, "tralmix"))
        if a and b:
            out.append(f"| {titulos[forma]} | {a:.3f} | {b:.3f} | {b / a:.1f}× |")
    out.append("")
grande = max(tamanos)
objetivos = []
def linea(texto, ok):
    objetivos.append(f"- {'met' if ok else 'MISSED'}: {texto}")
m = lambda f, n: med.get((f, grande, n))
if m("mensajes", "tralmix"):
    t = m("mensajes", "tralmix")
    linea(f"pasted messages {grande} MB ≤ 1.0 × the rg pipeline: {t / m('mensajes', 'rg -o | sort -u'):.2f} ×",
          t <= m("mensajes", "rg -o | sort -u"))
    linea(f"pasted messages {grande} MB below the grep pipeline: {t / m('mensajes', 'grep -oE | sort -u'):.2f} ×",
          t < m("mensajes", "grep -oE | sort -u"))
for f in ["lista", "ctt"]:
    if m(f, "tralmix"):
        r = m(f, "tralmix") / m(f, "grep @ | sort")
        linea(f"{titulos[f]} {grande} MB ≤ 1.0 × `grep @ | sort`: {r:.2f} ×", r <= 1.0)
for f in ["mensajes", "lista", "ctt"]:
    if (f, grande, "tralmix") in rss:
        r = rss[(f, grande, "tralmix")] * 1024 * 1024 / tam[(f, grande)]
        linea(f"{titulos[f]} {grande} MB peak memory ≤ 3 × input: {r:.2f} ×", r <= 3.0)
if 10 in tamanos and 100 in tamanos:
    for f in ["mensajes", "lista", "ctt"]:
        a, b = med.get((f, 10, "tralmix")), med.get((f, 100, "tralmix"))
        if a and b:
            linea(f"{titulos[f]} growth 10 → 100 MB about linear (≤ 10×): {b / a:.1f} ×", b / a <= 10.5)
tabla = "\n".join(out)
# Notes written by hand under "## Where the time goes" survive a new run.
notas = ""
try:
    anterior = open(destino).read()
    if "## Where the time goes" in anterior:
        notas = anterior[anterior.index("## Where the time goes"):]
except FileNotFoundError:
    pass
with open(destino, "w") as d:
    d.write("# Benchmark results\n\n")
    d.write("Made by `bench/compare.sh` (hyperfine medians, one warm-up run; peak memory from "
            "`/usr/bin/time`). Inputs from `bench/gen_inputs` with seed 1.\n\n")
    d.write(f"- Date: {fecha}\n- Machine: {maquina}\n- Load average at the end: {carga}\n\n")
    d.write(tabla + "\n")
    d.write("\n## Targets\n\n" + "\n".join(objetivos) + "\n")
    if notas:
        d.write("\n" + notas)
print(tabla)
print("\n".join(objetivos))
EOF
echo "compare.sh: results in $resultados" >&2
