#!/usr/bin/env bash
# The Debian package as a user gets it, without installing it on this machine: lintian finds no
# error or warning; unpacked, its tralmix-cli writes the sample's list byte for byte as the
# build's does; Depends names the ICU and Qt libraries and what the programs start by name; the
# desktop entry and metainfo validate; the man pages are the Spanish ones; and every
# help page the index links to is where the window looks for it.
#
# Usage: debian.sh PACKAGE.deb BUILD_DIR   (BUILD_DIR: the build the package was made from)
set -u
deb=$1
build=$2
raiz=$(cd "$(dirname "$0")/../.." && pwd)

trabajo=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-deb.XXXXXX") || exit 1
trap 'rm -rf "$trabajo"' EXIT
pasados=0
fallos=0
comprobar() {
    local nombre=$1
    shift
    if "$@" >"$trabajo/ultimo.log" 2>&1; then
        pasados=$((pasados + 1))
    else
        echo "FAIL $nombre:"
        sed 's/^/    /' "$trabajo/ultimo.log" | head -n 40
        fallos=$((fallos + 1))
    fi
}

echo "lintian $(lintian --version | awk '{print $2}'):"
lintian --fail-on error,warning --display-info "$deb" | tee "$trabajo/lintian.log"
estado_lintian=${PIPESTATUS[0]}
comprobar lintian test "$estado_lintian" -eq 0

dpkg-deb -x "$deb" "$trabajo/raiz"
usr=$trabajo/raiz/usr

# The unpacked command on the sample, beside the build's own.
lista() {
    mkdir -p "$trabajo/$2" "$trabajo/$2.tmp"
    "$1" --output-dir "$trabajo/$2" --temp-dir "$trabajo/$2.tmp" --date 2005-03-05 \
        "$raiz/samples/ejemplo.txt" >"$trabajo/$2.stdout" &&
        [ "$(cat "$trabajo/$2.stdout")" = "$trabajo/$2/Mails_20050305.txt" ]
}
comprobar "tralmix-cli del paquete" lista "$usr/bin/tralmix-cli" paquete
comprobar "tralmix-cli de la compilación" lista "$build/src/cli/tralmix-cli" compilacion
comprobar "la misma lista" cmp "$trabajo/compilacion/Mails_20050305.txt" \
    "$trabajo/paquete/Mails_20050305.txt"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
tiene() {
    tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -Eqx "$1" || {
        echo "Depends has no $1"
        return 1
    }
}
for paquete in 'libicu[0-9]+' libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins xdg-utils; do
    comprobar "Depends: $paquete" tiene "$paquete"
done

comprobar desktop-file-validate \
    desktop-file-validate "$usr/share/applications/org.example.Tralmix.desktop"
comprobar appstreamcli appstreamcli validate --no-net \
    "$usr/share/metainfo/org.example.Tralmix.metainfo.xml"

# help2man falls back to English headings, silently, where the Spanish locale is missing.
en_espanol() {
    local pagina
    for programa in "$usr"/bin/*; do
        pagina=$usr/share/man/man1/$(basename "$programa").1.gz
        zcat "$pagina" | grep -qx '\.SH NOMBRE' || {
            echo "$pagina: no Spanish NOMBRE section"
            return 1
        }
    done
}
comprobar "páginas de manual" en_espanol

# The window opens ../share/tralmix/ayuda/index.html from its folder; each page it links to
# must be there too.
ayuda() {
    local carpeta=$usr/share/tralmix/ayuda enlace
    [ -f "$carpeta/index.html" ] || {
        echo "no index.html in $carpeta"
        return 1
    }
    while read -r enlace; do
        [ -f "$carpeta/$enlace" ] || {
            echo "index.html links to $enlace, which is not in the package"
            return 1
        }
    done < <(grep -o 'href="[^"#:]*' "$carpeta/index.html" | sed 's/^href="//' | sort -u)
}
comprobar "ayuda" ayuda

echo "debian: $pasados passed, $fallos failed"
[ "$fallos" -eq 0 ]
