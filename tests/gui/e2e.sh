#!/usr/bin/env bash
# End to end: the real program in a virtual X server. Presses "...", picks a fixture in the real
# file dialog, reads and confirms the "Se ha creado el archivo:" box, then checks the list written
# to HOME and that the desktop handler (a stub xdg-open) was asked to open it. Screenshots of the
# window and the box are left in the work folder.
#
# Usage: e2e.sh PROGRAM DATA_DIR WORK_DIR. Exits 77 (skipped) when the X tools are missing.
set -euo pipefail

programa=$(realpath "$1")
datos=$(realpath "$2")
trabajo=$3

for herramienta in xvfb-run xdotool xclip import identify; do
    if ! command -v "$herramienta" >/dev/null 2>&1; then
        echo "SKIP: $herramienta is not installed (scripts/setup-debian.sh installs it)"
        exit 77
    fi
done

if [[ -z "${TRALMIX_E2E_EN_X:-}" ]]; then
    rm -rf "$trabajo"
    mkdir -p "$trabajo"
    export TRALMIX_E2E_EN_X=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$programa" "$datos" "$trabajo"
fi

trabajo=$(realpath "$trabajo")
casa=$trabajo/casa
mkdir -p "$casa" "$trabajo/tmp" "$trabajo/bin" "$trabajo/run" "$trabajo/entrada"
chmod 700 "$trabajo/run"
cp "$datos/lista.txt" "$trabajo/entrada/lista.txt"
registro=$trabajo/xdg-open.txt

# The desktop handler: writes down what it was asked to open.
cat > "$trabajo/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >> "$registro"
STUB
chmod +x "$trabajo/bin/xdg-open"

export HOME=$casa TMPDIR=$trabajo/tmp XDG_RUNTIME_DIR=$trabajo/run
export PATH=$trabajo/bin:$PATH QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID

fallar() {
    echo "FAIL: $*" >&2
    echo "--- program output ---" >&2
    cat "$trabajo/tralmix.log" >&2 || true
    import -window root "$trabajo/pantalla-fallo.png" 2>/dev/null || true
    exit 1
}

# esperar SECONDS COMMAND...: retries the command until it succeeds or the time is up.
esperar() {
    local limite=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < limite)) || return 1
        sleep 0.2
    done
}

ventana_visible() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
hay_ventana() { [[ -n $(ventana_visible "$1") ]]; }
sin_ventana() { [[ -z $(ventana_visible "$1") ]]; }

"$programa" > "$trabajo/tralmix.log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

esperar 30 hay_ventana "Creador de listas de  e-mails" || fallar "the window did not appear"
ventana=$(ventana_visible "Creador de listas de  e-mails")

# The gradient's first band is painted once the window has been drawn.
pintada() {
    import -window "$ventana" "$trabajo/ventana.png" 2>/dev/null &&
        [[ $(identify -format '%[fx:round(255*p{2,2}.r)],%[fx:round(255*p{2,2}.g)],%[fx:round(255*p{2,2}.b)]' \
            "$trabajo/ventana.png") == "13,99,186" ]]
}
esperar 20 pintada || fallar "the window shows no gradient"
echo "screenshot: $trabajo/ventana.png"

# 517 by 172 pixels in the middle of the 1024 by 768 screen (no window manager, so no frame).
eval "$(xdotool getwindowgeometry --shell "$ventana")"
[[ $WIDTH == 517 && $HEIGHT == 172 ]] || fallar "the window is ${WIDTH}x${HEIGHT}"
[[ $X == 253 && $Y == 298 ]] || fallar "the window is at $X,$Y, not centred"

# "..." sits at 463,12 and is 43 by 21 pixels.
xdotool mousemove --window "$ventana" 484 22 click 1
esperar 20 hay_ventana '^Abrir$' || fallar "the Open dialog did not appear"
dialogo=$(ventana_visible '^Abrir$')
xdotool windowfocus --sync "$dialogo" || true
xdotool type --delay 15 "$trabajo/entrada/lista.txt"

# Enter may first close the name completer's list; press it until the dialog is gone.
for _ in 1 2 3 4 5; do
    xdotool key Return
    if esperar 3 sin_ventana '^Abrir$'; then
        break
    fi
done
sin_ventana '^Abrir$' || fallar "the Open dialog did not accept the typed path"

esperar 30 hay_ventana '^Messenger Add-in$' || fallar "no message box after the run"
caja=$(ventana_visible '^Messenger Add-in$')
import -window "$caja" "$trabajo/mensaje.png" 2>/dev/null || true

resultado=$casa/Mails_$(date +%Y%m%d).txt
[[ -f $resultado ]] || resultado=$(ls "$casa"/Mails_*.txt 2>/dev/null | head -n 1)
[[ -n $resultado && -f $resultado ]] || fallar "no result file in HOME"
printf 'a@example.com\r\n\r\nb@example.com\r\n\r\n\r\n' > "$trabajo/esperado.txt"
cmp "$trabajo/esperado.txt" "$resultado" || fallar "the result file differs from the expected list"

# The box's text is selectable: click into it, select all and copy.
texto_caja() {
    xdotool mousemove --window "$caja" 100 15 click 1
    xdotool key ctrl+a ctrl+c
    xclip -o -selection clipboard -t UTF8_STRING > "$trabajo/portapapeles.txt" 2>&1 || true
    grep -q "^Se ha creado el archivo:" "$trabajo/portapapeles.txt" &&
        grep -qxF "$resultado" "$trabajo/portapapeles.txt"
}
esperar 15 texto_caja || fallar "the message box does not announce $resultado"

xdotool key Return
esperar 15 sin_ventana '^Messenger Add-in$' || fallar "the message box did not close"
abierto() { [[ -s $registro ]]; }
esperar 15 abierto || fallar "the desktop handler was not asked to open the list"
pedido=$(head -n 1 "$registro")
if [[ $pedido != "$resultado" && $pedido != "file://$resultado" ]]; then
    fallar "the handler was asked to open '$pedido' instead of $resultado"
fi

import -window "$ventana" "$trabajo/ventana-final.png" 2>/dev/null || true
echo "PASS: $resultado written, announced and opened"
