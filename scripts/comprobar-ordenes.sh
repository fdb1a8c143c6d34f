#!/usr/bin/env bash
# Checks that every command the scripts and tests call comes from a Debian package that a setup
# script installs (scripts/setup-*.sh), directly or as a dependency, or from the base system
# (packages marked Essential or of priority required, which every Debian machine has). A tool
# installed by hand on this machine, or a package pulled in only as a recommendation, fails here
# instead of failing the README's commands on the next machine.
#
#   scripts/comprobar-ordenes.sh [--sin-instalar]
#
# Which packages count for a file:
#   - a script that runs a setup script: that script's packages;
#   - tests/win/, scripts/wine.sh and the other Windows scripts: setup-windows.sh's;
#   - tests/web/, the browser's scripts and bench/web.*: setup-web.sh's;
#   - everything else: setup-debian.sh's;
#   - a bench/ script may also use the packages it installs itself when they are missing (its
#     `faltan+=(PACKAGE)` list): benchmarks are not part of the tests.
# The commands are found in the files themselves: the first word of every command of the shell
# scripts (and of the shell code they write into stubs, not of the Python they feed to python3),
# the interpreters of their #! lines, and every /usr/bin/… or /bin/… path in any script, test or
# CMake file. That reading is generous: a word in command position inside a message counts too. A command not installed on
# this machine at all is not judged: the script that calls it fails or says why here already.
# First the setup scripts run (they do nothing when all is there), so that their packages and
# their dependencies are installed and can be read from dpkg's database; --sin-instalar skips that.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1:-} != --sin-instalar ]]; then
    for instalador in scripts/setup-*.sh; do
        "./$instalador" >/dev/null
    done
fi

# The packages a setup script installs, as it lists them.
paquetes_de() {
    TRALMIX_LISTAR_PAQUETES=1 "./scripts/$1"
}

# Every installed package reachable from the given ones through Pre-Depends and Depends (every
# alternative that is installed, and the installed packages that provide a virtual one).
cierre() {
    dpkg-query -W -f='${db:Status-Abbrev}\t${Package}\t${Provides}\t${Pre-Depends}, ${Depends}\n' |
        awk -F'\t' -v raices="$*" '
        function limpiar(n) { sub(/^[ \t]+/, "", n); sub(/[ \t(:].*$/, "", n); return n }
        $1 ~ /^ii/ {
            instalado[$2] = 1
            dependencias[$2] = $4
            np = split($3, provistos, ",")
            for (i = 1; i <= np; ++i) {
                v = limpiar(provistos[i])
                if (v != "") proveedores[v] = proveedores[v] " " $2
            }
        }
        END {
            n = split(raices, pendientes, " ")
            for (i = 1; i <= n; ++i) pila[++tope] = pendientes[i]
            while (tope > 0) {
                p = pila[tope--]
                if (p == "" || (p in visto)) continue
                visto[p] = 1
                if (p in instalado) print p
                m = split(proveedores[p], otros, " ")
                for (i = 1; i <= m; ++i) pila[++tope] = otros[i]
                nd = split(dependencias[p], deps, /[,|]/)
                for (i = 1; i <= nd; ++i) pila[++tope] = limpiar(deps[i])
            }
        }'
}

mapfile -t base < <(dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Essential} ${Priority}\n' |
    awk '$1 ~ /^ii/ && ($3 == "yes" || $4 == "required") { print $2 }')
declare -A de_lista
for instalador in scripts/setup-*.sh; do
    lista=${instalador#scripts/setup-}
    lista=${lista%.sh}
    mapfile -t listados < <(paquetes_de "setup-$lista.sh")
    de_lista[$lista]=" $(cierre "${base[@]}" "${listados[@]}" | tr '\n' ' ') "
done

# The first word of every command of a shell script (after assignments and the wrappers that run
# another command), as "LINE WORD". The script's own functions are no commands (a first reading
# collects their names).
ordenes_de_guion() {
    awk '
        FNR == NR {
            if (match($0, /^[ \t]*(function[ \t]+)?[A-Za-z_][A-Za-z0-9_-]*[ \t]*\(\)/)) {
                nombre = substr($0, RSTART, RLENGTH)
                sub(/^[ \t]*(function[ \t]+)?/, "", nombre)
                sub(/[ \t]*\(\)$/, "", nombre)
                funciones[nombre] = 1
            }
            next
        }
        fin != "" { if ($0 ~ "^[ \t]*" fin "$") fin = ""; next }
        /^[ \t]*#/ { next }
        # A program in another language fed on standard input (python3 - <<EOF) is no shell code.
        /(python3?|node|perl)[ \t][^<]*<<-?[ \t]*["\047]?[A-Za-z_]+/ {
            fin = $0
            sub(/.*<<-?[ \t]*["\047]?/, "", fin)
            sub(/[^A-Za-z_].*/, "", fin)
        }
        {
            linea = $0
            sub(/[ \t]#.*$/, "", linea)
            gsub(/\$\(\(/, " ", linea)
            gsub(/&&|\|\||[|;`(){}]|\$\(/, "\n", linea)
            n = split(linea, partes, "\n")
            for (i = 1; i <= n; ++i) {
                k = split(partes[i], w, /[ \t]+/)
                j = 1
                while (j <= k) {
                    if (w[j] == "" || w[j] ~ /^[A-Za-z_][A-Za-z0-9_]*=/ || w[j] == "!" ||
                        w[j] ~ /^(then|do|else|elif|if|while|until|exec|time|builtin)$/ ||
                        w[j] ~ /^\"?\$\{?sudo/) { ++j; continue }
                    if (w[j] ~ /^(sudo|env|nice|setsid|xargs|timeout|stdbuf|taskset|xvfb-run)$/) {
                        print FNR, w[j]
                        ++j
                        while (j <= k && (w[j] ~ /^-/ || w[j] ~ /^[0-9.]+[smh]?$/ ||
                                          w[j] ~ /^[A-Za-z_][A-Za-z0-9_]*=/)) ++j
                        continue
                    }
                    break
                }
                if (j > k || w[j] == "command") continue
                if (w[j] in funciones) continue
                if (w[j] ~ /^[A-Za-z0-9][A-Za-z0-9._+-]*$/ || w[j] ~ /^\/(usr\/)?s?bin\//)
                    print FNR, w[j]
            }
        }' "$1" "$1"
}

# Which setup script provides for a file.
lista_de() {
    local archivo=$1 llamado
    llamado=$(grep -oE 'scripts/setup-[a-z]+\.sh' "$archivo" | grep -v setup-debian | head -n 1 || true)
    if [[ -n $llamado && $archivo != scripts/setup-* && $archivo != scripts/comprobar-ordenes.sh ]]; then
        llamado=${llamado#scripts/setup-}
        echo "${llamado%.sh}"
        return
    fi
    case $archivo in
        tests/win/* | scripts/wine.sh | scripts/*windows* | scripts/probar-i386.sh | \
            scripts/zip-utf8.py | packaging/windows/* | tests/paquetes/windows.sh) echo windows ;;
        tests/web/* | scripts/*web* | bench/web.*) echo web ;;
        *) echo debian ;;
    esac
}

# The project's files, without git (a fresh machine may have the sources from an archive), the
# build folders and the browser tests' modules; this script's own awk programs are no shell code.
archivos() {
    find . \( -path ./build -o -path ./.git -o -name node_modules \) -prune -o -type f \
        \( "$@" \) -print | sed 's#^\./##' | sort
}
mapfile -t guiones < <(archivos -path ./.ci/run -o -name '*.sh' | grep -vx scripts/comprobar-ordenes.sh)
mapfile -t otros < <(archivos -name '*.py' -o -name '*.mjs' -o -name CMakeLists.txt -o -name '*.cmake')

# The package of every program file dpkg knows, read once.
declare -A paquete_de_archivo
while IFS= read -r fila; do
    [[ $fila == "diversion by "* ]] && continue
    paquete_de_archivo[${fila#*: }]=${fila%%[:,]*}
done < <(dpkg-query -S '*bin/*' 2>/dev/null)

declare -A ruta_de paquete_de
# The packages a command's files belong to, in paquete_de (one or more) and ruta_de: every file of
# that name on PATH (one put first by hand hides none of Debian's), after its links (the
# alternatives) and with the merged /usr (dpkg knows /bin/sh, the shell finds /usr/bin/sh).
buscar_paquete() {
    local orden=$1 ruta real candidato p todos=() rutas=()
    [[ -n ${paquete_de[$orden]+x} ]] && return
    if [[ $orden == /* ]]; then
        [[ -e $orden ]] && rutas=("$orden")
    else
        mapfile -t rutas < <(type -a -P "$orden" 2>/dev/null || true)
    fi
    for ruta in "${rutas[@]}"; do
        real=$(readlink -f "$ruta")
        p=
        for candidato in "$ruta" "$real" "${ruta#/usr}" "${real#/usr}" "/usr${ruta#/usr}" \
            "/usr${real#/usr}"; do
            p=${paquete_de_archivo[$candidato]:-}
            [[ -n $p ]] && break
        done
        todos+=("${p:-"no package ($real)"}")
    done
    paquete_de[$orden]=$(printf '%s\n' "${todos[@]}" | sort -u | tr '\n' ' ')
    paquete_de[$orden]=${paquete_de[$orden]% }
    ruta_de[$orden]="${rutas[0]:-}"
}

fallos=0
juzgar() {
    local archivo=$1 linea=$2 orden=$3 lista=$4 propios=$5 p
    [[ $(type -t "$orden" 2>/dev/null || true) == @(builtin|keyword) ]] && return
    buscar_paquete "$orden"
    [[ -z ${paquete_de[$orden]} ]] && return
    for p in ${paquete_de[$orden]}; do
        [[ ${de_lista[$lista]} == *" $p "* || " $propios " == *" $p "* ]] && return
    done
    echo "$archivo:$linea: $orden (${ruta_de[$orden]}) comes from ${paquete_de[$orden]}," \
        "which setup-$lista.sh does not install" >&2
    fallos=1
}

# The packages a file installs itself beside its setup script's: those it names after running a
# setup script, and in bench/ those the benchmarks install when missing (faltan+=(...)).
propios_de() {
    sed -nE 's#.*scripts/setup-[a-z]+\.sh(( [a-z0-9][a-z0-9.+-]*)+).*#\1#p' "$1"
    if [[ $1 == bench/* ]]; then
        sed -n 's/.*faltan+=(\([^)]*\)).*/\1/p' bench/*.sh
    fi
}

for archivo in "${guiones[@]}"; do
    lista=$(lista_de "$archivo")
    propios=$(propios_de "$archivo" | tr '\n' ' ')
    interprete=$(sed -n '1s/^#![ \t]*//p' "$archivo")
    if [[ -n $interprete ]]; then
        for orden in $interprete; do
            juzgar "$archivo" 1 "$orden" "$lista" "$propios"
        done
    fi
    while read -r linea orden; do
        juzgar "$archivo" "$linea" "$orden" "$lista" "$propios"
    done < <(ordenes_de_guion "$archivo" | sort -u -k2,2)
done
for archivo in "${otros[@]}" "${guiones[@]}"; do
    lista=$(lista_de "$archivo")
    propios=$(propios_de "$archivo" | tr '\n' ' ')
    while IFS=: read -r linea orden; do
        juzgar "$archivo" "$linea" "$orden" "$lista" "$propios"
    done < <(grep -noE '(^|[^A-Za-z0-9_./-])/(usr/)?s?bin/[A-Za-z0-9][A-Za-z0-9._+-]*' "$archivo" |
        sed -E 's#:[^/]*#:#' | sort -u -t: -k2,2)
done

# What the Linux programs start themselves (src/util/entorno_posix.cpp): the desktop's opener,
# through the shell.
for orden in sh xdg-open; do
    juzgar src/util/entorno_posix.cpp 1 "$orden" debian ""
done

if ((fallos)); then
    echo "comprobar-ordenes: add each package to the setup script that provides for the file" >&2
    exit 1
fi
echo "comprobar-ordenes: every command comes from a package the setup scripts install"
