#!/usr/bin/env bash
# The real tralmix.exe under Wine in a virtual X server, driven as a user would:
# - the client area and bands 0, 32 and 63 of the gradient, measured on a screenshot;
# - "..." opens the Open dialog, the Z: path of a fixture is typed there, "Se ha creado el
#   archivo:" is read from the box (Wine traces every box's text) and dismissed, the list in the
#   profile folder is the golden one, and the request to open it reaches a stub xdg-open through
#   the registered .txt association;
# - a path typed in capitals and Enter in the path box: the warning, then the dialog;
# - Enter on "..." and the Tab order;
# - the logo opens the web site;
# - "tralmix.exe FILE" from a folder named in three scripts on a file named in Greek and Chinese;
# - an exclusion file kept in the registry shown in the options; two files chosen at once in the
#   Open dialog make one list without its address, and the report panel shows after the box;
# - "tralmix.exe FILE FILE" makes one list; with doc.pdf among them, the box names it;
# - "tralmix.exe doc.pdf" refused; a long run's progress window, stopped by Escape and by closing
#   the main window (the run is held at its first report until it is stopped,
#   TRALMIX_RETENER_HASTA_PARAR, so on any machine the window shows while it lasts).
# The screenshots stay in OUT_DIR.
#
# Usage: ventana_e2e.sh TRALMIX_EXE GOLDEN_DIR OUT_DIR
set -u

exe=$1
golden=$2
salida=$3
aqui=$(cd "$(dirname "$0")" && pwd)
wine=$aqui/../../scripts/wine.sh
fixture=list_97

"$wine" --puede "$exe" || exit 77
for herramienta in Xvfb xdotool import convert; do
    if ! command -v "$herramienta" >/dev/null; then
        echo "skipped: $herramienta is missing (scripts/setup-windows.sh installs it)"
        exit 77
    fi
done

rm -rf "$salida"
mkdir -p "$salida/bin" "$salida/entrada"
fallos=0
fallar() {
    echo "FAIL: $*"
    fallos=$((fallos + 1))
}

# A display of our own: Xvfb picks a free number and tells it.
exec 5>"$salida/pantalla"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >"$salida/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do
    [ -s "$salida/pantalla" ] && break
    sleep 0.1
done
export DISPLAY=:$(head -n 1 "$salida/pantalla")

# Whatever the desktop is asked to open is written down instead.
cat >"$salida/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$salida/abiertos.log"
EOF
chmod +x "$salida/bin/xdg-open"
export PATH="$salida/bin:$PATH"

prefijo=${TRALMIX_WINEPREFIX:-/tmp/tralmix-wine-$(id -u)}
perfil=$prefijo/drive_c/users/$(id -un)
# Wine's desktop takes its display driver when its server starts: one started by a test without a
# display would leave every window without one. The server is started anew with this display,
# and ended again afterwards, before the display goes.
reiniciar_wine() {
    WINEPREFIX=$prefijo /usr/lib/wine/wineserver -k 2>/dev/null
    WINEPREFIX=$prefijo /usr/lib/wine/wineserver -w 2>/dev/null
}
reiniciar_wine

# A fresh prefix has no program for .txt and .html files; Wine's browser hands them to xdg-open.
"$wine" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
"$wine" reg add 'HKCR\txtfile\shell\open\command' /ve /d 'winebrowser "%1"' /f >/dev/null 2>&1
"$wine" reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1
"$wine" reg add 'HKCR\htmlfile\shell\open\command' /ve /d 'winebrowser "%1"' /f >/dev/null 2>&1
rm -f "$perfil"/Mails_*.txt
# The list's options as a new user has them.
"$wine" reg delete 'HKCU\Software\Tralmix' /f >/dev/null 2>&1

# esperar TITLE [SECONDS]: the first window whose title matches, within 20 s or as given (Wine
# may first have to start its server on a busy machine).
esperar() {
    local w
    for _ in $(seq $((${2:-20} * 10))); do
        w=$(xdotool search --name "$1" 2>/dev/null | head -n 1)
        if [ -n "$w" ]; then
            echo "$w"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# hasta TENTHS COMMAND...: COMMAND's answer once it succeeds, or after TENTHS tenths of a second.
hasta() {
    local decimas=$1
    shift
    for _ in $(seq "$decimas"); do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}
sin_ventana() { [ -z "$(xdotool search --name "$1" 2>/dev/null)" ]; }
terminado() { ! kill -0 "$programa" 2>/dev/null; }
no_vacio() { [ -s "$1" ]; }

# apuntar WINDOW: the pointer on its title bar, where the keys then go; X, Y, WIDTH and HEIGHT
# are its geometry.
apuntar() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + 10))
    sleep 0.5
}

# lanzar LOG PROGRAM [ARGS...]: PROGRAM under Wine, the text of every box it shows traced to LOG;
# its process in $programa.
lanzar() {
    local registro=$1
    shift
    WINEDEBUG=trace+msgbox "$wine" "$@" >"$salida/$registro" 2>&1 &
    programa=$!
}

# dijo LOG TEXT: the program showed a box that begins with TEXT (a pattern, as Wine writes it).
dijo() { grep -a -q "MSGBOX_OnInit L\"$2" "$salida/$1"; }

# cerrar_programa: Alt+F4 over the main window, and the program's end awaited.
cerrar_programa() {
    if ventana=$(esperar 'Creador de listas de' 5); then
        eval "$(xdotool getwindowgeometry --shell "$ventana")"
        xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 8)) click 1 key alt+F4
    fi
    hasta 100 terminado
}

cp "$golden/$fixture.input.txt" "$salida/entrada/lista.txt"
ruta_windows="Z:$(printf '%s' "$salida/entrada/lista.txt" | tr / '\\')"

lanzar programa.log "$exe"
terminar() {
    kill "$programa" 2>/dev/null
    wait "$programa" 2>/dev/null
    reiniciar_wine
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
}
trap terminar EXIT

ventana=$(esperar 'Creador de listas de' 90) || {
    fallar "the window did not appear"
    exit 1
}
sleep 1
import -window root "$salida/ventana.png"

# The client area: where band 0 (13,99,186) starts, band 63 (0,2,63) ends, and how wide band 63
# runs; then bands 0, 32 and 63 by colour.
medidas=$(convert "$salida/ventana.png" -depth 8 rgb:- | /usr/bin/python3 -c '
import sys
w, h = 1024, 768
d = sys.stdin.buffer.read()
def px(x, y):
    i = 3 * (y * w + x)
    return tuple(d[i:i + 3])
# The first row with a long run of the colour of band 0: no icon or caption holds one.
arriba = izquierda = None
for y in range(h):
    x = 0
    while x < w:
        if px(x, y) == (13, 99, 186):
            inicio = x
            while x < w and px(x, y) == (13, 99, 186):
                x += 1
            if x - inicio >= 400:
                arriba, izquierda = y, inicio
                break
        x += 1
    if arriba is not None:
        break
if arriba is None:
    print("none")
    sys.exit()
abajo = arriba
while abajo + 1 < h and px(izquierda, abajo + 1) != (0, 0, 0) and abajo - arriba < 400:
    abajo += 1
    if px(izquierda, abajo) == (0, 2, 63) and px(izquierda, abajo + 1) != (0, 2, 63):
        break
ancho = 0
while izquierda + ancho < w and px(izquierda + ancho, abajo) == (0, 2, 63):
    ancho += 1
print(izquierda, arriba, ancho, abajo - arriba + 1,
      "%d,%d,%d" % px(izquierda + 2, arriba + 1),
      "%d,%d,%d" % px(izquierda + 2, arriba + 87),
      "%d,%d,%d" % px(izquierda + 2, arriba + 170))
')
read -r cx cy ancho alto banda0 banda32 banda63 <<<"$medidas"
echo "client area at $cx,$cy: ${ancho}x$alto; bands 0, 32, 63: $banda0 $banda32 $banda63"
[ "$ancho" = 517 ] || fallar "client width ${ancho:-?}, expected 517"
[ "$alto" = 172 ] || fallar "client height ${alto:-?}, expected 172"
[ "$banda0" = 13,99,186 ] || fallar "band 0 is ${banda0:-?}, expected 13,99,186"
[ "$banda32" = 6,50,124 ] || fallar "band 32 is ${banda32:-?}, expected 6,50,124"
[ "$banda63" = 0,2,63 ] || fallar "band 63 is ${banda63:-?}, expected 0,2,63"

# The keyboard, as in the Qt window: the focus starts on "...", where Enter opens the dialog;
# four Tabs (path box, instructions, help icon, back to "...") lead there again, so no box keeps
# the focus.
xdotool mousemove $((cx + 100)) $((cy + 160))
for teclas in "Return" "Tab Tab Tab Tab Return"; do
    # shellcheck disable=SC2086
    xdotool key --delay 150 $teclas
    if dialogo=$(esperar '^Abrir$' 20); then
        apuntar "$dialogo"
        xdotool key Escape
        sleep 1
        xdotool mousemove $((cx + 100)) $((cy + 160))
    else
        fallar "keys '$teclas' on the window did not press \"...\""
    fi
done

# Shift+F10 opens the window's menu, whose one entry opens "Opciones de la lista"; Escape
# closes it unchanged.
xdotool key --delay 150 shift+F10
sleep 1
xdotool key --delay 150 Down Return
if opciones=$(esperar '^Opciones de la lista$' 20); then
    import -window root "$salida/opciones.png"
    apuntar "$opciones"
    xdotool key Escape
    sleep 1
    xdotool mousemove $((cx + 100)) $((cy + 160))
else
    fallar "Shift+F10 and the menu did not open \"Opciones de la lista\""
fi

# "..." (6945, 180, 645 by 315 twips): its middle.
xdotool mousemove $((cx + 463 + 21)) $((cy + 12 + 10)) click 1
if dialogo=$(esperar '^Abrir$' 60); then
    # Keys go to the window under the pointer; the dialog gives its name field the focus.
    apuntar "$dialogo"
    xdotool type --delay 20 "$ruta_windows"
    xdotool key Return
    if caja=$(esperar '^Messenger Add-in$' 60); then
        apuntar "$caja"
        import -window root "$salida/mensaje.png"
        dijo programa.log 'Se ha creado el archivo:' ||
            fallar "the box does not say 'Se ha creado el archivo:' (see mensaje.png)"
        xdotool key Return
        hasta 100 sin_ventana '^Messenger Add-in$' || fallar "the box was not dismissed"
    else
        fallar "no message box after the dialog"
    fi
else
    fallar "'...' did not open the Open dialog"
fi

lista=$(ls "$perfil"/Mails_*.txt 2>/dev/null | head -n 1)
if [ -z "$lista" ]; then
    fallar "no list in the profile folder $perfil"
elif ! cmp -s "$golden/$fixture.expected" "$lista"; then
    fallar "the list differs from $fixture.expected"
fi
hasta 100 no_vacio "$salida/abiertos.log"
if ! grep -q "Mails_[0-9]\{8\}\.txt" "$salida/abiertos.log" 2>/dev/null; then
    fallar "the list was not handed to the desktop (xdg-open got: $(cat "$salida/abiertos.log" 2>/dev/null))"
fi
import -window root "$salida/final.png"

# A path typed in capitals into the path box, then Enter: the run lower-cases it, finds the file
# (names are not case-sensitive here) and warns that it is no list; then the Open dialog follows,
# and cancelling it ends the run without a word.
printf 'x@example.com\r\n' >"$salida/entrada/carta.doc"
tecleado="Z:$(printf '%s' "$salida/entrada/carta.doc" | tr / '\\' | tr '[:lower:]' '[:upper:]')"
xdotool mousemove $((cx + 88 + 183)) $((cy + 12 + 10)) click 1
xdotool type --delay 20 "$tecleado"
xdotool key Return
if caja=$(esperar '^Messenger Add-in$' 60); then
    apuntar "$caja"
    dijo programa.log 'El archivo especificado no es valido..."' ||
        fallar "Enter: no 'El archivo especificado no es valido...' for a .DOC file"
    xdotool key Return
    if dialogo=$(esperar '^Abrir$' 60); then
        apuntar "$dialogo"
        xdotool key Escape
        sleep 1
        sin_ventana '^Messenger Add-in$' || fallar "a cancelled dialog was followed by a message"
    else
        fallar "Enter: no Open dialog after the warning"
    fi
else
    fallar "Enter in the path box started no run"
fi

# A click on the logo opens what ships with the program: its help (here its pages as HTML).
xdotool mousemove $((cx + 8 + 61)) $((cy + 45 + 57)) click 1
hasta 100 grep -q 'ayuda/index.html' "$salida/abiertos.log" 2>/dev/null
grep -q 'ayuda/index.html' "$salida/abiertos.log" ||
    fallar "the logo did not open the help (xdg-open got: $(cat "$salida/abiertos.log"))"

# Alt+F4 over the window closes it and ends the program.
xdotool mousemove $((cx + 100)) $((cy + 160)) key alt+F4
hasta 100 terminado || fallar "the program did not end when its window was closed"

# "tralmix.exe FILE" from a folder named in three scripts, on pasted messages in a file named in
# Greek and Chinese: processed at once, without the dialog.
carpeta="$salida/Programa ñandú 中文"
mkdir -p "$carpeta"
cp "$exe" "$carpeta/tralmix.exe"
entrada="$salida/entrada/Λίστα 名单.txt"
cp "$golden/bulk_es.input.txt" "$entrada"
rm -f "$perfil"/Mails_*.txt
lanzar programa2.log "$carpeta/tralmix.exe" "$entrada"
if caja=$(esperar '^Messenger Add-in$' 90); then
    apuntar "$caja"
    dijo programa2.log 'Se ha creado el archivo:' ||
        fallar "FILE: the box does not say 'Se ha creado el archivo:'"
    xdotool key Return
else
    fallar "FILE: no message box"
fi
lista=$(ls "$perfil"/Mails_*.txt 2>/dev/null | head -n 1)
if [ -z "$lista" ] || ! cmp -s "$golden/bulk_es.expected" "$lista"; then
    fallar "FILE: no list, or it differs from bulk_es.expected"
fi
cerrar_programa

# A file the window does not take, named on the command line: refused with the box the dialog's
# check gives, and no list.
cp "$golden/$fixture.input.txt" "$salida/entrada/doc.pdf"
rm -f "$perfil"/Mails_*.txt
lanzar programa3.log "$exe" "$salida/entrada/doc.pdf"
if caja=$(esperar '^Messenger Add-in$' 90); then
    apuntar "$caja"
    import -window root "$salida/rechazo.png"
    dijo programa3.log 'El archivo especificado no es valido..."' ||
        fallar "doc.pdf: no 'El archivo especificado no es valido...'"
    # Escape closes a box as Enter does.
    xdotool key Escape
else
    fallar "doc.pdf: no message box"
fi
sleep 1
[ -z "$(ls "$perfil"/Mails_*.txt 2>/dev/null)" ] || fallar "doc.pdf: a list was written"
cerrar_programa

# The help: no tralmix.chm beside this build's program, so its pages as HTML go to the browser.
lanzar programa4.log "$exe"
if ventana=$(esperar 'Creador de listas de' 90); then
    sleep 1
    : >"$salida/abiertos.log"
    # The help icon: 32 by 32 at 480,86 of the client area, below the caption.
    xdotool mousemove $((cx + 496)) $((cy + 102)) click --repeat 2 --delay 80 1
    hasta 100 no_vacio "$salida/abiertos.log"
    grep -q 'ayuda/index.html' "$salida/abiertos.log" ||
        fallar "the help icon opened $(cat "$salida/abiertos.log"), not the HTML help"
    # From the keyboard: F1 anywhere, and Space on the help icon, three Tabs from "...".
    for teclas in "F1" "Tab Tab Tab space"; do
        : >"$salida/abiertos.log"
        xdotool mousemove $((cx + 100)) $((cy + 160))
        # shellcheck disable=SC2086
        xdotool key --delay 150 $teclas
        hasta 100 no_vacio "$salida/abiertos.log"
        grep -q 'ayuda/index.html' "$salida/abiertos.log" ||
            fallar "keys '$teclas' opened $(cat "$salida/abiertos.log"), not the help"
    done
fi
cerrar_programa

# Several files and an exclusion list kept in the registry: the options show the list; two names
# typed at once in the Open dialog make one list without the excluded address; after the box,
# the report panel shows under the controls (the client area 107 pixels taller).
printf 'De  Ana  ana@example.com\r\nana@gmial.com\r\n' >"$salida/entrada/pegado.txt"
printf 'pepe@example.com\r\nluis@example.org\r\nana@example.com\r\n' >"$salida/entrada/otra.txt"
printf 'luis@example.org\r\n' >"$salida/entrada/bajas.txt"
entrada_windows="Z:$(printf '%s' "$salida/entrada" | tr / '\\')"
"$wine" reg add 'HKCU\Software\Tralmix' /v Exclusiones /t REG_MULTI_SZ \
    /d "$entrada_windows\\bajas.txt" /f >/dev/null 2>&1
rm -f "$perfil"/Mails_*.txt
lanzar programa6.log "$exe"
if ventana=$(esperar 'Creador de listas de' 90); then
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$ventana")"
    alto_antes=$HEIGHT
    xdotool mousemove $((cx + 100)) $((cy + 160))
    xdotool key --delay 150 shift+F10
    sleep 1
    xdotool key --delay 150 Down Return
    if opciones=$(esperar '^Opciones de la lista$' 20); then
        sleep 1
        import -window root "$salida/opciones-exclusiones.png"
        apuntar "$opciones"
        xdotool key Escape
        sleep 1
    else
        fallar "several: the options did not open"
    fi
    xdotool mousemove $((cx + 463 + 21)) $((cy + 12 + 10)) click 1
    if dialogo=$(esperar '^Abrir$' 60); then
        apuntar "$dialogo"
        xdotool type --delay 20 "$entrada_windows\\"
        xdotool key Return
        sleep 1
        xdotool type --delay 20 '"pegado.txt" "otra.txt"'
        sleep 0.5
        import -window root "$salida/abrir-varios.png"
        xdotool key Return
        if caja=$(esperar '^Messenger Add-in$' 60); then
            apuntar "$caja"
            dijo programa6.log 'Se ha creado el archivo:' ||
                fallar "several: the box does not say 'Se ha creado el archivo:'"
            xdotool key Return
            sleep 2
            import -window root "$salida/resumen.png"
        else
            fallar "several: no message box after the dialog"
        fi
    else
        fallar "several: '...' did not open the Open dialog"
    fi
    lista=$(ls "$perfil"/Mails_*.txt 2>/dev/null | head -n 1)
    if [ -z "$lista" ]; then
        fallar "several: no list"
    else
        grep -q 'pepe@example.com' "$lista" || fallar "several: the second file's address is missing"
        grep -q 'luis@example.org' "$lista" && fallar "several: the excluded address is listed"
    fi
    eval "$(xdotool getwindowgeometry --shell "$ventana")"
    [ $((HEIGHT - alto_antes)) = 107 ] ||
        fallar "several: the window grew by $((HEIGHT - alto_antes)) pixels, not by the report's 107"
fi
cerrar_programa
"$wine" reg delete 'HKCU\Software\Tralmix' /f >/dev/null 2>&1

# Several files named on the command line (as files dropped on the program's icon): one list; one
# of them refused refuses them all, and the box names it.
rm -f "$perfil"/Mails_*.txt
lanzar programa7.log "$exe" "$salida/entrada/lista.txt" "$salida/entrada/doc.pdf"
if caja=$(esperar '^Messenger Add-in$' 90); then
    apuntar "$caja"
    dijo programa7.log 'El archivo especificado no es valido...\\r\\nZ:.*doc.pdf"' ||
        fallar "FILE doc.pdf: the box does not name doc.pdf"
    xdotool key Return
else
    fallar "FILE doc.pdf: no message box"
fi
sleep 1
[ -z "$(ls "$perfil"/Mails_*.txt 2>/dev/null)" ] || fallar "FILE doc.pdf: a list was written"
cerrar_programa
lanzar programa8.log "$exe" "$salida/entrada/lista.txt" "$salida/entrada/otra.txt"
if caja=$(esperar '^Messenger Add-in$' 90); then
    apuntar "$caja"
    dijo programa8.log 'Se ha creado el archivo:' || fallar "FILE FILE: no 'Se ha creado el archivo:'"
    xdotool key Return
else
    fallar "FILE FILE: no message box"
fi
lista=$(ls "$perfil"/Mails_*.txt 2>/dev/null | head -n 1)
if [ -z "$lista" ] || ! grep -q 'pepe@example.com' "$lista"; then
    fallar "FILE FILE: no list of both files"
fi
cerrar_programa

# No program for .txt files: the list is written, and the person is told it could not be opened.
"$wine" reg delete 'HKCR\.txt' /f >/dev/null 2>&1
"$wine" reg delete 'HKCR\txtfile' /f >/dev/null 2>&1
lanzar programa5.log "$exe" "$salida/entrada/lista.txt"
for _ in 1 2; do
    if caja=$(esperar '^Messenger Add-in$' 90); then
        apuntar "$caja"
        import -window root "$salida/sin-programa.png"
        xdotool key Return
        sleep 0.5
    fi
done
dijo programa5.log 'No se pudo abrir:\\r\\nC:\\\\users' ||
    fallar "no 'No se pudo abrir:' box when no program opens the list"
cerrar_programa

# A long run, held at its first report until it is stopped: its progress window names the file,
# the phase and the share, like the Qt one's. Escape stops the run; closing the main window during
# a run stops it too and ends the program at once. Neither writes a list.
awk 'BEGIN { for (i = 0; i < 100000; i++)
                 printf "usuario%07d@dominio%03d.example.com\r\n", (i * 7919) % 10000000, i % 997 }' \
    >"$salida/entrada/largo.txt"
export TRALMIX_RETENER_HASTA_PARAR=1
for gesto in escape cerrar; do
    rm -f "$perfil"/Mails_*.txt
    lanzar "largo-$gesto.log" "$exe" "$salida/entrada/largo.txt"
    if progreso=$(esperar '^Procesando$' 90); then
        import -window root "$salida/progreso-$gesto.png"
        if [ "$gesto" = escape ]; then
            eval "$(xdotool getwindowgeometry --shell "$progreso")"
            xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key Escape
            hasta 100 sin_ventana '^Procesando$' || fallar "Escape did not stop the long run"
            terminado && fallar "Escape ended the program"
            cerrar_programa
        else
            ventana=$(esperar 'Creador de listas de' 5)
            eval "$(xdotool getwindowgeometry --shell "$ventana")"
            xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 8)) click 1 key alt+F4
            hasta 30 terminado ||
                fallar "closing the window during a run: the program is still there after 3 s"
        fi
    else
        fallar "$gesto: no progress window during the long run"
    fi
    sleep 0.5
    grep -a -q 'MSGBOX_OnInit' "$salida/largo-$gesto.log" && fallar "$gesto: a box came up"
    [ -z "$(ls "$perfil"/Mails_*.txt 2>/dev/null)" ] || fallar "$gesto: a list was written"
    kill "$programa" 2>/dev/null
    wait "$programa" 2>/dev/null
done

echo "ventana_e2e: $fallos failures"
[ "$fallos" -eq 0 ]
