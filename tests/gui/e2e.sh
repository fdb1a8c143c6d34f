#!/usr/bin/env bash
# End to end: the real program in a virtual X server. Presses "...", picks a fixture in the real
# file dialog, reads and confirms the "Se ha creado el archivo:" box, then checks the list written
# to HOME and that the desktop handler (a stub xdg-open) was asked to open it. Then Enter on the
# focused "..." opens the dialog again, the help icon opens the HTML help (or the compiled help
# once a viewer is registered), and "tralmix FILE" runs FILE as soon as the window shows. Last,
# with an exclusion file in the settings, two files chosen at once make one list without its
# address, and the report panel shows.
# Screenshots of the window and the boxes are left in the work folder.
#
# With "largo" it makes one long run instead: the run is held at its first progress report until
# it is stopped (TRALMIX_RETENER_HASTA_PARAR), so on any machine the window repaints and the
# progress dialog appears meanwhile; its "Cancelar" must leave no list, and an earlier list of the
# same name intact; closing the window during the run ends the program at once without a list.
#
# Usage: e2e.sh PROGRAM DATA_DIR WORK_DIR [largo]. Exits 77 (skipped) when the X tools are missing.
set -euo pipefail

programa=$(realpath "$1")
datos=$(realpath "$2")
trabajo=$3
modo=${4:-}

for herramienta in xvfb-run xdotool xclip import identify; do
    if ! command -v "$herramienta" >/dev/null 2>&1; then
        echo "SKIP: $herramienta is not installed (scripts/setup-debian.sh installs it)"
        exit 77
    fi
done

# -noreset: without it the server starts over when its last client leaves, and the program
# started again below can find no display during that moment.
if [[ -z "${TRALMIX_E2E_EN_X:-}" ]]; then
    rm -rf "$trabajo"
    mkdir -p "$trabajo"
    export TRALMIX_E2E_EN_X=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$programa" "$datos" "$trabajo" "$modo"
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
# With this file present it fails, as xdg-open does when nothing opens the target.
[ ! -e "$trabajo/falla" ]
STUB
chmod +x "$trabajo/bin/xdg-open"

export HOME=$casa TMPDIR=$trabajo/tmp XDG_RUNTIME_DIR=$trabajo/run
export PATH=$trabajo/bin:$PATH QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME QT_QPA_PLATFORMTHEME XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID

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

# pixel FILE X Y: the colour at that point of a screenshot, as "r,g,b".
pixel() {
    identify -format "%[fx:round(255*p{$2,$3}.r)],%[fx:round(255*p{$2,$3}.g)],%[fx:round(255*p{$2,$3}.b)]" "$1"
}

# elegir PATH: "..." is pressed; types PATH into the Open dialog and accepts it.
elegir() {
    esperar 20 hay_ventana '^Abrir$' || fallar "the Open dialog did not appear"
    local dialogo
    dialogo=$(ventana_visible '^Abrir$')
    xdotool windowfocus --sync "$dialogo" || true
    xdotool type --delay 15 "$1"
    # Enter may first close the name completer's list; press it until the dialog is gone.
    for _ in 1 2 3 4 5; do
        xdotool key Return
        if esperar 3 sin_ventana '^Abrir$'; then
            break
        fi
    done
    sin_ventana '^Abrir$' || fallar "the Open dialog did not accept the typed path"
}

if [[ $modo == largo ]]; then
    export TRALMIX_RETENER_HASTA_PARAR=1
fi
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
# The desktop entry's StartupWMClass names this window's class.
xdotool search --class '^Tralmix$' | grep -qx "$ventana" || fallar "the window's class is not Tralmix"

if [[ $modo == largo ]]; then
    # Held until "Cancelar", so its size does not matter; a few pieces of reading.
    awk 'BEGIN { for (i = 0; i < 100000; i++)
                     printf "usuario%07d@dominio%03d.example.com\r\n", (i * 7919) % 10000000, i % 997 }' \
        > "$trabajo/entrada/largo.txt"
    anterior=$casa/Mails_$(date +%Y%m%d).txt
    printf 'lista anterior\r\n' > "$anterior"

    xdotool mousemove --window "$ventana" 484 22 click 1
    elegir "$trabajo/entrada/largo.txt"
    esperar 10 hay_ventana '^Procesando$' || fallar "no progress dialog during the long run"
    progreso=$(ventana_visible '^Procesando$')
    import -window root "$trabajo/durante.png" 2>/dev/null
    import -window "$progreso" "$trabajo/progreso.png" 2>/dev/null || true
    echo "screenshots: $trabajo/durante.png $trabajo/progreso.png"
    # The window's corners were under the Open dialog: repainted, they show the gradient again.
    [[ $(pixel "$trabajo/durante.png" $((X + 2)) $((Y + 2))) == "13,99,186" ]] ||
        fallar "the window was not repainted during the run (top left corner)"
    [[ $(pixel "$trabajo/durante.png" $((X + 3)) $((Y + 170))) == "0,2,63" ]] ||
        fallar "the window was not repainted during the run (bottom left corner)"

    # "Cancelar" is the dialog's only button, so Enter presses it.
    xdotool windowfocus --sync "$progreso" || true
    xdotool key Return
    esperar 30 sin_ventana '^Procesando$' || fallar "the progress dialog stayed after Cancelar"
    if esperar 3 hay_ventana '^Messenger Add-in$'; then
        import -window root "$trabajo/tras-cancelar.png" 2>/dev/null || true
        fallar "a message box came up after Cancelar (the run was not stopped)"
    fi
    [[ $(cat "$anterior") == $'lista anterior\r' ]] || fallar "Cancelar replaced the earlier list"
    [[ $(ls "$casa") == "$(basename "$anterior")" ]] || fallar "Cancelar left another list"

    # Closing the window while the progress dialog shows (the close button, Alt+F4) stops the
    # run and ends the program at once, without a list or a box.
    xdotool mousemove --window "$ventana" 484 22 click 1
    elegir "$trabajo/entrada/largo.txt"
    esperar 10 hay_ventana '^Procesando$' || fallar "no progress dialog during the second long run"
    import -window root "$trabajo/cerrar-durante.png" 2>/dev/null || true
    "$(dirname "$0")/cerrar_ventana.py" "$ventana"
    terminado() { ! kill -0 "$pid" 2>/dev/null; }
    esperar 3 terminado || fallar "the program is still there 3 s after its window was closed"
    [[ $(cat "$anterior") == $'lista anterior\r' ]] || fallar "closing replaced the earlier list"
    [[ $(ls "$casa") == "$(basename "$anterior")" ]] || fallar "closing left another list"
    echo "PASS: the long run repainted, showed its progress and stopped on Cancelar and on closing"
    exit 0
fi

# The first focus is on "...", and shows: a dotted frame runs along the inside of its face.
convert "$trabajo/ventana.png" -crop 30x1+468+16 txt:- | grep -q '#000000' ||
    fallar "no focus frame on \"...\""

# "..." sits at 463,12 and is 43 by 21 pixels.
xdotool mousemove --window "$ventana" 484 22 click 1
elegir "$trabajo/entrada/lista.txt"

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

# Enter on the focused "..." presses it; Escape cancels the dialog, silently.
xdotool windowfocus --sync "$ventana" || true
xdotool key Return
esperar 20 hay_ventana '^Abrir$' || fallar "Enter on \"...\" did not open the dialog"
xdotool key Escape
esperar 10 sin_ventana '^Abrir$' || fallar "Escape did not close the Open dialog"
esperar 2 hay_ventana '^Messenger Add-in$' && fallar "a cancelled dialog gave a message"

# The help icon (32 by 32 at 480,86): no program reads the compiled help here, so the HTML help
# goes to the browser; once a viewer is registered the compiled help goes to it.
: > "$registro"
xdotool mousemove --window "$ventana" 496 102 click --repeat 2 --delay 80 1
esperar 10 abierto || fallar "the help icon opened nothing"
[[ $(head -n 1 "$registro") == */ayuda/index.html ]] ||
    fallar "the help icon opened $(head -n 1 "$registro") instead of the HTML help"
if [[ -f $(dirname "$programa")/tralmix.chm ]]; then
    mkdir -p "$casa/.local/share/applications" "$casa/.config"
    printf '[Desktop Entry]\nType=Application\nName=Visor\nExec=visor %%f\nMimeType=application/vnd.ms-htmlhelp;\n' \
        > "$casa/.local/share/applications/visor.desktop"
    printf '[Default Applications]\napplication/vnd.ms-htmlhelp=visor.desktop\n' \
        > "$casa/.config/mimeapps.list"
    : > "$registro"
    xdotool mousemove --window "$ventana" 496 102 click --repeat 2 --delay 80 1
    esperar 10 abierto || fallar "the help icon opened nothing with a viewer"
    [[ $(head -n 1 "$registro") == */tralmix.chm ]] ||
        fallar "with a viewer the help icon opened $(head -n 1 "$registro")"
fi
import -window "$ventana" "$trabajo/ventana-final.png" 2>/dev/null || true

# The desktop cannot open the web site (the logo, 122 by 114 at 8,45): a box says so.
touch "$trabajo/falla"
xdotool mousemove --window "$ventana" 69 102 click 1
esperar 15 hay_ventana '^Messenger Add-in$' || fallar "no box when the web site could not be opened"
import -window root "$trabajo/sin-abrir.png" 2>/dev/null || true
xdotool windowfocus --sync "$(ventana_visible '^Messenger Add-in$')" || true
xdotool key Escape
esperar 15 sin_ventana '^Messenger Add-in$' || fallar "Escape did not close the box"
rm "$trabajo/falla"

# "tralmix FILE", as "Open with" starts it: the run follows as soon as the window shows.
kill "$pid"
wait "$pid" 2>/dev/null || true
rm -f "$resultado"
: > "$registro"
"$programa" "$trabajo/entrada/lista.txt" >> "$trabajo/tralmix.log" 2>&1 &
pid=$!
esperar 30 hay_ventana '^Messenger Add-in$' || fallar "tralmix FILE gave no message box"
import -window root "$trabajo/con-archivo.png" 2>/dev/null || true
cmp "$trabajo/esperado.txt" "$resultado" || fallar "tralmix FILE wrote a different list"
xdotool windowfocus --sync "$(ventana_visible '^Messenger Add-in$')" || true
xdotool key Return
esperar 15 abierto || fallar "tralmix FILE did not open the list"

# Several files and an exclusion list kept in the settings: the options show it; two names typed
# at once in the Open dialog make one list without the excluded address; after the box, the
# report panel shows under the controls (the window 279 pixels high instead of 172).
kill "$pid"
wait "$pid" 2>/dev/null || true
rm -f "$casa"/Mails_*.txt
printf 'De  Ana  ana@example.com\r\nana@gmial.com\r\n' > "$trabajo/entrada/pegado.txt"
printf 'pepe@example.com\r\nluis@example.org\r\nana@example.com\r\n' > "$trabajo/entrada/otra.txt"
printf 'luis@example.org\r\n' > "$trabajo/entrada/bajas.txt"
mkdir -p "$casa/.config/Tralmix"
printf '[lista]\nexclusiones=%s\n' "$trabajo/entrada/bajas.txt" > "$casa/.config/Tralmix/Tralmix.conf"
"$programa" >> "$trabajo/tralmix.log" 2>&1 &
pid=$!
esperar 30 hay_ventana "Creador de listas de  e-mails" || fallar "the window did not appear again"
ventana=$(ventana_visible "Creador de listas de  e-mails")
xdotool windowfocus --sync "$ventana" || true
# The menu opens at the middle of the window; its one entry is clicked there.
xdotool key shift+F10
sleep 1
xdotool mousemove --window "$ventana" 330 96 click 1
esperar 20 hay_ventana '^Opciones de la lista$' || fallar "Shift+F10 did not open the options"
sleep 0.5
import -window root "$trabajo/opciones-exclusiones.png" 2>/dev/null || true
xdotool windowfocus --sync "$(ventana_visible '^Opciones de la lista$')" || true
xdotool key Escape
esperar 10 sin_ventana '^Opciones de la lista$' || fallar "Escape did not close the options"
xdotool mousemove --window "$ventana" 484 22 click 1
esperar 20 hay_ventana '^Abrir$' || fallar "the Open dialog did not appear for several files"
xdotool windowfocus --sync "$(ventana_visible '^Abrir$')" || true
xdotool type --delay 15 "$trabajo/entrada/"
xdotool key Return
sleep 1
xdotool type --delay 15 '"pegado.txt" "otra.txt"'
sleep 0.5
import -window root "$trabajo/abrir-varios.png" 2>/dev/null || true
for _ in 1 2 3 4 5; do
    xdotool key Return
    esperar 3 sin_ventana '^Abrir$' && break
done
esperar 30 hay_ventana '^Messenger Add-in$' || fallar "no message box after the run on several files"
xdotool windowfocus --sync "$(ventana_visible '^Messenger Add-in$')" || true
xdotool key Return
esperar 15 sin_ventana '^Messenger Add-in$' || fallar "the box of the several-file run did not close"
resultado=$(ls "$casa"/Mails_*.txt 2>/dev/null | head -n 1)
[[ -n $resultado ]] || fallar "several files: no list"
grep -q 'pepe@example.com' "$resultado" || fallar "several files: the second file's address is missing"
grep -q 'luis@example.org' "$resultado" && fallar "several files: the excluded address is listed"
con_panel() {
    eval "$(xdotool getwindowgeometry --shell "$ventana")"
    [[ $HEIGHT == 279 ]]
}
esperar 10 con_panel || fallar "no report panel: the window is ${HEIGHT} pixels high"
sleep 0.5
import -window root "$trabajo/resumen.png" 2>/dev/null || true
echo "screenshots: $trabajo/opciones-exclusiones.png $trabajo/abrir-varios.png $trabajo/resumen.png"

echo "PASS: lists written, announced and opened; Enter, help, tralmix FILE and several files work"
