#!/usr/bin/env bash
# The per-user Windows installer under Wine, in a prefix of its own made for this run:
# - the package asks for no elevation and installs under %LOCALAPPDATA%\Programs\Tralmix every
#   file of its table, the programs as built;
# - the installed tralmix-cli.exe writes the sample's list as the build's does;
# - the Start-menu shortcut starts the installed window; .ctt opens with it, the text, contact and
#   mail files only offer it ("Open with"), never as the default for .txt; "Apps & features"
#   has it with its version;
# - removal leaves no file, shortcut or key of ours and keeps the user's settings, unless
#   BORRAR_AJUSTES=1 is given;
# - a newer package replaces the installed one.
#
# Usage: windows.sh PACKAGE.msi BUILD_DIR [SHOT.png]
#   BUILD_DIR: the Windows build the package was made from; SHOT.png: where to keep a screenshot
#   of the window started from the shortcut.
set -u
msi=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=$(cd "$2" && pwd)
captura=${3:-}
raiz=$(cd "$(dirname "$0")/../.." && pwd)
wine=$raiz/scripts/wine.sh

trabajo=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-msi-prueba.XXXXXX") || exit 1
export TRALMIX_WINEPREFIX=$trabajo/prefijo
xvfb=
terminar() {
    WINEPREFIX=$TRALMIX_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null
    rm -rf "$trabajo"
}
trap terminar EXIT
perfil=$TRALMIX_WINEPREFIX/drive_c/users/$(id -un)
carpeta=$perfil/AppData/Local/Programs/Tralmix
acceso="$perfil/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tralmix.lnk"
carpeta_windows="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Tralmix"

pasados=0
fallos=0
comprobar() {
    local nombre=$1
    shift
    if "$@" >"$trabajo/ultimo.log" 2>&1; then
        pasados=$((pasados + 1))
    else
        echo "FAIL $nombre:"
        sed 's/^/    /' "$trabajo/ultimo.log" | head -n 30
        fallos=$((fallos + 1))
    fi
}
msiexec() { "$wine" msiexec "$@" </dev/null >>"$trabajo/msiexec.log" 2>&1; }
# valor KEY NAME: the data of a value (NAME "" for the key's default), status 1 where none is.
valor() {
    local salida
    if [ -z "$2" ]; then
        salida=$("$wine" reg query "$1" /ve 2>/dev/null) || return 1
    else
        salida=$("$wine" reg query "$1" /v "$2" 2>/dev/null) || return 1
    fi
    # reg shows a key's unset default as "(value not set)".
    tr -d '\r' <<<"$salida" |
        awk -F'    ' 'NF >= 4 && $4 != "(value not set)" { print $4; hallado = 1 } END { exit !hallado }'
}
igual() { [ "$1" = "$2" ] || { echo "got \"$1\", expected \"$2\""; return 1; }; }
propiedad() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v p="$2" '$1 == p { print $2 }'; }
productos() { "$wine" uninstaller --list 2>/dev/null | tr -d '\r' | grep '|||Tralmix$' | cut -d'|' -f1; }

codigo=$(propiedad "$msi" ProductCode)
version=$(propiedad "$msi" ProductVersion)

# Word Count bit 3: no elevated privileges. ALLUSERS would make it a machine install.
sin_elevacion() {
    local palabras
    palabras=$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')
    if [ -z "$palabras" ] || ! ((palabras & 8)); then
        echo "Word Count $palabras asks for elevation"
        return 1
    fi
    [ -z "$(propiedad "$msi" ALLUSERS)" ] || { echo "ALLUSERS is set"; return 1; }
}
comprobar "sin elevación" sin_elevacion

comprobar "msiexec /i" msiexec /i "$msi" /qn

instalados() {
    local nombre
    # FileName is "SHORT|Long" where the two differ.
    for nombre in $(msiinfo export "$msi" File | tr -d '\r' | tail -n +4 | cut -f3 | sed 's/.*|//'); do
        find "$carpeta" -name "$nombre" | grep -q . || { echo "$nombre is not under $carpeta"; return 1; }
    done
    cmp "$build/src/cli/tralmix-cli.exe" "$carpeta/tralmix-cli.exe" &&
        cmp "$build/src/win/tralmix.exe" "$carpeta/tralmix.exe"
}
comprobar "archivos instalados" instalados

lista() {
    mkdir -p "$trabajo/$2"
    "$wine" "$1" --output-dir "$trabajo/$2" --date 2005-03-05 "$raiz/samples/ejemplo.txt" \
        >/dev/null 2>"$trabajo/$2.err" </dev/null || { cat "$trabajo/$2.err"; return 1; }
}
comprobar "tralmix-cli.exe instalado" lista "$carpeta/tralmix-cli.exe" instalado
comprobar "tralmix-cli.exe de la compilación" lista "$build/src/cli/tralmix-cli.exe" compilacion
comprobar "la misma lista" cmp "$trabajo/compilacion/Mails_20050305.txt" \
    "$trabajo/instalado/Mails_20050305.txt"

comprobar "acceso del menú Inicio" grep -qaF "$carpeta_windows\\tralmix.exe" "$acceso"

# The shortcut opened as the Start menu opens it, in a virtual display: the window that shows is
# the installed program's.
desde_el_menu() {
    local w='' pid
    exec 5>"$trabajo/pantalla"
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$trabajo/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$trabajo/pantalla" ] && break
        sleep 0.1
    done
    DISPLAY=:$(head -n 1 "$trabajo/pantalla")
    export DISPLAY
    # Wine's desktop takes the display its server starts with.
    WINEPREFIX=$TRALMIX_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null
    WINEPREFIX=$TRALMIX_WINEPREFIX /usr/lib/wine/wineserver -w 2>/dev/null
    "$wine" start "C:\\users\\$(id -un)\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Tralmix.lnk" \
        </dev/null >/dev/null 2>&1
    # A bounded wait: Wine may first have to start its services on a busy machine.
    for _ in $(seq 900); do
        w=$(xdotool search --name 'Creador de listas de' 2>/dev/null | head -n 1)
        [ -n "$w" ] && break
        sleep 0.1
    done
    [ -n "$w" ] || { echo "no window appeared"; return 1; }
    pid=$(xdotool getwindowpid "$w") || return 1
    tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF "$carpeta_windows\\tralmix.exe" ||
        { echo "the window is not the installed program's: $(tr '\0' ' ' <"/proc/$pid/cmdline")"; return 1; }
    if [ -n "$captura" ]; then
        sleep 1
        import -window root "$captura"
    fi
    WINEPREFIX=$TRALMIX_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null
    WINEPREFIX=$TRALMIX_WINEPREFIX /usr/lib/wine/wineserver -w 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    xvfb=
    unset DISPLAY
}
comprobar "la ventana desde el menú Inicio" desde_el_menu

clases='HKCU\Software\Classes'
abrir="\"$carpeta_windows\\tralmix.exe\" \"%1\""
asociaciones() {
    igual "$(valor "$clases\\.ctt" "")" Tralmix.ctt &&
        igual "$(valor "$clases\\Tralmix.ctt\\shell\\open\\command" "")" "$abrir" &&
        igual "$(valor "$clases\\Tralmix.archivo\\shell\\open\\command" "")" "$abrir" &&
        igual "$(valor "$clases\\Applications\\tralmix.exe\\shell\\open\\command" "")" "$abrir" || return 1
    local ext
    for ext in .txt .vcf .vcard .csv .tsv .ldif .eml .mbox; do
        valor "$clases\\$ext\\OpenWithProgids" Tralmix.archivo >/dev/null ||
            { echo "$ext does not offer Tralmix under Open with"; return 1; }
    done
    ! valor "$clases\\.txt" "" || { echo ".txt got a default program"; return 1; }
}
comprobar "asociaciones" asociaciones

# Wine keeps the entries of "Apps & features" under HKLM even for a per-user install.
aplicaciones() {
    local raiz_reg
    igual "$(productos)" "$codigo" || return 1
    for raiz_reg in HKCU HKLM; do
        valor "$raiz_reg\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$codigo" \
            DisplayVersion >"$trabajo/version" && break
    done
    igual "$(cat "$trabajo/version")" "$version"
}
comprobar "Aplicaciones y características" aplicaciones

# Nothing of ours left: files, shortcut, keys, the product.
nada_nuestro() {
    local clave
    [ ! -e "$carpeta" ] || { echo "left: $(find "$carpeta")"; return 1; }
    [ ! -e "$acceso" ] || { echo "left: the shortcut"; return 1; }
    for clave in "$clases\\.ctt" "$clases\\Tralmix.ctt" "$clases\\Tralmix.archivo" \
        "$clases\\Applications\\tralmix.exe" 'HKCU\Software\Tralmix\Instalador'; do
        ! "$wine" reg query "$clave" >/dev/null 2>&1 || { echo "left: $clave"; return 1; }
    done
    ! valor "$clases\\.txt\\OpenWithProgids" Tralmix.archivo >/dev/null ||
        { echo "left: Tralmix under Open with for .txt"; return 1; }
    [ -z "$(productos)" ] || { echo "left: the product $(productos)"; return 1; }
}

# The list's options as the window keeps them.
"$wine" reg add 'HKCU\Software\Tralmix' /v PorGrupo /t REG_DWORD /d 10 /f >/dev/null 2>&1
comprobar "msiexec /x" msiexec /x "$msi" /qn
comprobar "nada tras desinstalar" nada_nuestro
comprobar "ajustes conservados" igual "$(valor 'HKCU\Software\Tralmix' PorGrupo)" 0xa

# A newer version over this one: one product left, the newer, the settings kept; then removed
# with the settings.
IFS=. read -r mayor menor parche <<<"$version"
nueva=$mayor.$menor.$((parche + 1))
"$raiz/packaging/windows/msi.sh" "$build" "$nueva" "$trabajo/nueva.msi" >/dev/null
actualizar() {
    msiexec /i "$msi" /qn && msiexec /i "$trabajo/nueva.msi" /qn &&
        igual "$(productos)" "$(propiedad "$trabajo/nueva.msi" ProductCode)" &&
        [ -f "$carpeta/tralmix.exe" ] && [ -e "$acceso" ] &&
        igual "$(valor 'HKCU\Software\Tralmix' PorGrupo)" 0xa
}
comprobar "actualización" actualizar
comprobar "msiexec /x BORRAR_AJUSTES=1" msiexec /x "$trabajo/nueva.msi" /qn BORRAR_AJUSTES=1
comprobar "nada tras desinstalar la nueva" nada_nuestro
sin_ajustes() { ! "$wine" reg query 'HKCU\Software\Tralmix' >/dev/null 2>&1; }
comprobar "ajustes borrados" sin_ajustes

echo "windows: $pasados passed, $fallos failed"
[ "$fallos" -eq 0 ]
