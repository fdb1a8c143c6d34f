#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the desktop integration: the programs, the
# help file and its HTML pages where the installed program looks for them, the desktop entry
# (which takes a file, for "Open with"), the icons, the MIME type of .ctt files and the metadata.
# Usage: instalacion.sh BUILD_DIR SCRATCH_DIR WITH_HELP(0|1)
set -euo pipefail

construccion=$1
destino=$2
con_ayuda=$3

rm -rf "$destino"
cmake --install "$construccion" --prefix "$destino" > /dev/null

fallos=0
for f in bin/tralmix \
         share/applications/org.example.Tralmix.desktop \
         share/metainfo/org.example.Tralmix.metainfo.xml \
         share/icons/hicolor/32x32/apps/org.example.Tralmix.png \
         share/icons/hicolor/48x48/apps/org.example.Tralmix.png \
         share/icons/hicolor/scalable/apps/org.example.Tralmix.svg \
         share/mime/packages/org.example.Tralmix.xml \
         share/tralmix/ayuda/index.html share/tralmix/ayuda/estilo.css; do
    if [[ ! -s $destino/$f ]]; then
        echo "missing: $f"
        fallos=1
    fi
done
[[ -x $destino/bin/tralmix ]] || { echo "bin/tralmix is not executable"; fallos=1; }
if [[ $con_ayuda == 1 && ! -s $destino/share/tralmix/tralmix.chm ]]; then
    echo "missing: share/tralmix/tralmix.chm"
    fallos=1
fi

escritorio=$destino/share/applications/org.example.Tralmix.desktop
grep -qx 'Name=Tralmix' "$escritorio" || { echo "desktop entry: wrong Name"; fallos=1; }
grep -qx 'Comment=Creador de lista de correos' "$escritorio" ||
    { echo "desktop entry: wrong Comment"; fallos=1; }
for linea in 'Exec=tralmix %F' 'MimeType=application/x-ctt-contact-list;' \
    'StartupWMClass=Tralmix'; do
    grep -qxF "$linea" "$escritorio" || { echo "desktop entry: no line $linea"; fallos=1; }
done
grep -q '<release version="2.00"' "$destino/share/metainfo/org.example.Tralmix.metainfo.xml" ||
    { echo "metadata: release 2.00 missing"; fallos=1; }
for tamano in 32 48; do
    icono=$destino/share/icons/hicolor/${tamano}x${tamano}/apps/org.example.Tralmix.png
    [[ $(identify -format '%wx%h' "$icono" 2>/dev/null) == "${tamano}x${tamano}" ]] ||
        { echo "icon: $icono is not ${tamano}x${tamano}"; fallos=1; }
done

desktop-file-validate "$escritorio" || fallos=1
appstreamcli validate --no-net --explain \
    "$destino/share/metainfo/org.example.Tralmix.metainfo.xml" > "$destino/appstream.log" 2>&1 ||
    { cat "$destino/appstream.log"; fallos=1; }

# The MIME package compiles, and its type takes the .ctt files.
mkdir -p "$destino/mime-prueba/packages"
cp "$destino/share/mime/packages/org.example.Tralmix.xml" "$destino/mime-prueba/packages/"
if update-mime-database "$destino/mime-prueba" > "$destino/mime.log" 2>&1; then
    grep -q ':application/x-ctt-contact-list:\*\.ctt$' "$destino/mime-prueba/globs2" ||
        { echo "mime: *.ctt is not application/x-ctt-contact-list"; fallos=1; }
else
    cat "$destino/mime.log"
    fallos=1
fi

# Beside a text editor, the editor stays the default for text/plain: a finished list (.txt) must
# never start Tralmix again, nor a double click on any .txt overwrite today's list. "Open with"
# still offers Tralmix for a .txt, as the desktop's list of all programs. The .ctt files are
# Tralmix's own. The editor's name sorts after Tralmix's, where a tie would go to Tralmix.
escritorios=$destino/xdg
mkdir -p "$escritorios/datos/applications" "$escritorios/config"
cp "$escritorio" "$escritorios/datos/applications/"
printf '[Desktop Entry]\nType=Application\nName=Editor\nExec=vim %%f\nMimeType=text/plain;\n' \
    > "$escritorios/datos/applications/vim.desktop"
update-desktop-database "$escritorios/datos/applications"
preguntar() {
    env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
        XDG_DATA_HOME="$escritorios/datos" XDG_DATA_DIRS="$escritorios/datos" \
        XDG_CONFIG_HOME="$escritorios/config" XDG_CONFIG_DIRS="$escritorios/config" \
        xdg-mime query default "$1"
}
[[ $(preguntar text/plain) == vim.desktop ]] ||
    { echo "text/plain opens with $(preguntar text/plain), not the editor"; fallos=1; }
[[ $(preguntar application/x-ctt-contact-list) == org.example.Tralmix.desktop ]] ||
    { echo ".ctt files open with $(preguntar application/x-ctt-contact-list)"; fallos=1; }

exit "$fallos"
