#!/usr/bin/env bash
# tralmix-cli on hostile inputs and a failing file system: every run ends, with a well-formed list
# (status 0), its own refusal (1) or a message naming the file and the reason (3); nothing that
# was there before is lost and nothing is left half-written.
#
# Usage: cli_robustness.sh CLI [big]
#   big: only the large inputs (a line of 200 MB, five million lines), which take a while.
set -u

if [ $# -lt 1 ]; then
    echo "usage: $0 CLI [big]" >&2
    exit 2
fi
cli=$1
mode=${2:-}

work=$(mktemp -d "${TMPDIR:-/tmp}/tralmix-robust.XXXXXX") || exit 1
mounted=
cleanup() {
    if [ -n "$mounted" ]; then umount -l "$mounted" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/log" "$work/in" "$work/tmp" "$work/out"
# shellcheck source=SCRIPTDIR/cli_comun.sh
. "$(dirname "$0")/cli_comun.sh"

# failure_message TAG WHAT PATH REASON: stderr is the message box of a file failure.
failure_message() {
    local want
    want=$(printf 'Messenger Add-in: %s\n%s\n\nMotivo: %s' "$2" "$3" "$4")
    if [ "$(cat "$err")" != "$want" ]; then
        fail "$1" "stderr is
$(cat "$err")
expected
$want"
    fi
}

# well_formed TAG LIST: valid UTF-8, every line ended by CR LF, groups of at most 48 addresses,
# every address with an "@". Leaves the number of addresses in $addresses.
addresses=0
well_formed() {
    local tag=$1 list=$2
    if ! iconv -f UTF-8 -t UTF-8 "$list" >/dev/null 2>&1; then
        fail "$tag" "the list is not valid UTF-8"
    fi
    if [ -s "$list" ] && [ "$(tail -c 2 "$list" | od -An -c | tr -d ' ')" != '\r\n' ]; then
        fail "$tag" "the list does not end with CR LF"
    fi
    # A lone LF: a line, split at LF, that does not end in CR.
    if ! LC_ALL=C awk 'length($0) > 0 && !/\r$/ { bad = 1 } END { exit bad }' "$list"; then
        fail "$tag" "a line does not end with CR LF"
    fi
    # An opening address, a blank line, the rest of the group joined by ", ", two blank lines.
    if ! LC_ALL=C awk -v tag="$tag" 'BEGIN { RS = "\r\n"; state = 0; total = 0 }
        {
            if (state == 0) {
                if ($0 == "" || index($0, "@") == 0) { print tag ": bad opening line " NR; bad = 1 }
                total++; n = 1; state = 1
            } else if (state == 1) {
                if ($0 != "") { print tag ": no blank line after the opening address"; bad = 1 }
                state = 2
            } else if (state == 2) {
                k = split($0, parts, ", ")
                for (i = 1; i <= k; i++) if (index(parts[i], "@") == 0) { print tag ": entry without @"; bad = 1 }
                n += k; total += k
                if (n > 48) { print tag ": a group of " n " addresses"; bad = 1 }
                state = 3
            } else {
                if ($0 != "") { print tag ": no blank lines after a group"; bad = 1 }
                state = (state == 3) ? 4 : 0
            }
        }
        END { print total; exit bad }' "$list" >"$work/log/$tag.count"; then
        fail "$tag" "$(head -n 3 "$work/log/$tag.count")"
    fi
    addresses=$(tail -n 1 "$work/log/$tag.count")
}


if [ "$mode" = big ]; then
    RUN_LIMIT=${RUN_LIMIT:-900}
    # One line of 200 MB: an address, 200 MB of letters, another address. No "," or ";", so the
    # list path keeps the whole line as one entry, written as the list's only address.
    o=$(fresh big_out)
    t=$(fresh big_tmp)
    {
        printf 'ana@example.com '
        head -c 209715200 /dev/zero | tr '\0' 'a'
        printf ' bo@example.com\r\n'
    } >"$work/in/linea.txt"
    run long-line --output-dir "$o" --temp-dir "$t" --date $date_arg "$work/in/linea.txt"
    if expect_status long-line 0; then
        size=$(stat -c %s "$o/$list_name")
        [ "$size" -eq $((16 + 209715200 + 15 + 4)) ] || fail long-line "list of $size bytes"
        [ "$(head -c 16 "$o/$list_name")" = "ana@example.com " ] || fail long-line "list starts wrong"
        [ "$(tail -c 20 "$o/$list_name" | tr -d '\r\n')" = "a bo@example.com" ] ||
            fail long-line "list ends wrong"
    fi
    rm -f "$work/in/linea.txt" "$o/$list_name" "$t"/*

    # Five million short lines, every address 48 times: the list path keeps repeats, so the list
    # holds five million addresses in groups of 48, the last group holding 32.
    awk 'BEGIN { for (i = 0; i < 5000000; i++) printf "u%06d@x.es\r\n", i % 104167 }' \
        >"$work/in/cinco.txt"
    run many-lines --output-dir "$o" --temp-dir "$t" --date $date_arg "$work/in/cinco.txt"
    if expect_status many-lines 0; then
        well_formed many-lines "$o/$list_name"
        [ "$addresses" = 5000000 ] || fail many-lines "$addresses addresses listed"
        [ "$(head -c 15 "$o/$list_name")" = "$(printf 'u000000@x.es\r\n\r')" ] ||
            fail many-lines "list starts wrong"
    fi
    rm -f "$work/in/cinco.txt"
    if [ "$failures" -ne 0 ]; then
        echo "$failures failure(s)"
        exit 1
    fi
    echo "all large inputs passed"
    exit 0
fi

printf 'b@example.com\r\na@example.com\r\n' >"$work/in/lista.txt"
expected_list=$(printf 'a@example.com\r\n\r\nb@example.com\r\n\r\n\r\n')

# Binary files: an executable, whatever its name, is refused for what it is; no list, the input
# untouched.
cp /bin/true "$work/in/programa.txt"
o=$(fresh bin_out)
run binary --output-dir "$o" --temp-dir "$(fresh bin_tmp)" --date $date_arg "$work/in/programa.txt"
if expect_status binary 1; then
    failure_message binary "No se pudo leer el archivo:" "$work/in/programa.txt" \
        "es un programa, no un archivo de texto; elija el archivo que tiene las direcciones"
fi
[ -z "$(ls -A "$o")" ] || fail binary "something was written to the result folder"
cmp -s /bin/true "$work/in/programa.txt" || fail binary "the input was changed"

# What is not a regular file is refused at once, without blocking or reading without end.
mkdir -p "$work/in/carpeta.txt"
mkfifo "$work/in/tuberia.txt"
for c in "folder|$work/in/carpeta.txt|es una carpeta, no un archivo" \
    "fifo|$work/in/tuberia.txt|es una tubería (FIFO), no un archivo normal" \
    "device|/dev/zero|es un dispositivo, no un archivo normal"; do
    IFS='|' read -r tag path reason <<<"$c"
    o=$(fresh "${tag}_out")
    RUN_LIMIT=20 run "$tag" --output-dir "$o" --temp-dir "$work/tmp" --date $date_arg "$path"
    expect_status "$tag" 3 && failure_message "$tag" "No se pudo leer el archivo:" "$path" "$reason"
    [ -z "$(ls -A "$o")" ] || fail "$tag" "something was written to the result folder"
done

# A file larger than any list (3 GiB, sparse) is refused by its size before it is read.
truncate -s 3G "$work/in/enorme.txt"
o=$(fresh huge_out)
RUN_LIMIT=20 run huge --output-dir "$o" --temp-dir "$work/tmp" --date $date_arg "$work/in/enorme.txt"
expect_status huge 3 && failure_message huge "No se pudo leer el archivo:" "$work/in/enorme.txt" \
    "el archivo es demasiado grande"
rm -f "$work/in/enorme.txt"

# Names: a backslash (an ordinary character here; the working file is named after what follows
# it, as the program cuts names at "\"), and a single leading dash, which is not an option.
o=$(fresh names_out)
t=$(fresh names_tmp)
cp "$work/in/lista.txt" "$work/in/copia\\Clientes.TXT"
run backslash --output-dir "$o" --temp-dir "$t" --date $date_arg "$work/in/copia\\Clientes.TXT"
if expect_status backslash 0; then
    [ "$(cat "$o/$list_name")" = "$expected_list" ] || fail backslash "wrong list"
    [ -f "$t/clientes.txt" ] || fail backslash "no working file clientes.txt"
fi
cp "$work/in/lista.txt" "$work/in/-guion.txt"
cd "$work/in" || exit 1
run dash --output-dir "$o" --temp-dir "$t" --date $date_arg -guion.txt
cd - >/dev/null || exit 1
if expect_status dash 0; then
    [ "$(cat "$o/$list_name")" = "$expected_list" ] || fail dash "wrong list"
fi

# Names that are not UTF-8 (Latin-1 on an old disk) are used byte for byte: the run reads that
# file, not one whose name is its display form, and writes into that folder.
o=$(fresh $'out\xFF')
printf 'latin@example.com\r\n' >"$work/in/v"$'\xE9'".txt"
printf 'otro@example.com\r\n' >"$work/in/v"$'\xEF\xBF\xBD'".txt"
run latin1 --output-dir "$o" --temp-dir "$(fresh latin_tmp)" --date $date_arg "$work/in/v"$'\xE9'".txt"
if expect_status latin1 0; then
    [ "$(cat "$o/$list_name")" = "$(printf 'latin@example.com\r\n\r')" ] || fail latin1 "wrong list"
    [ -e "$work/out"$'\xEF\xBF\xBD' ] && fail latin1 "wrote into the display form of the folder"
fi

# A path that cannot be written on stdout: the caller does not learn where the list is.
"$cli" --output-dir "$(fresh full_out)" --temp-dir "$work/tmp" --date $date_arg "$work/in/lista.txt" \
    >/dev/full 2>"$work/log/full.err"
status=$?
err="$work/log/full.err"
expect_status dev-full 3

# Result folders that cannot take the list, even for root.
for c in "out-missing|$work/no/such/folder|el archivo o la carpeta no existe" \
    "out-proc|/proc|el archivo o la carpeta no existe"; do
    IFS='|' read -r tag dir reason <<<"$c"
    run "$tag" --output-dir "$dir" --temp-dir "$work/tmp" --date $date_arg "$work/in/lista.txt"
    expect_status "$tag" 3 &&
        failure_message "$tag" "No se pudo crear el archivo:" "$dir/$list_name" "$reason"
done

# A disk that fills up while the list is written: the earlier list of that name stays whole and
# no temporary file is left. Needs a small tmpfs, which only root may mount.
disk="$work/disk"
mkdir -p "$disk"
if mount -t tmpfs -o size=64k tralmix-test "$disk" 2>/dev/null; then
    mounted=$disk
    printf 'earlier list\r\n' >"$disk/$list_name"
    awk 'BEGIN { for (i = 0; i < 6000; i++) printf "persona.%06d@example.com\r\n", i }' \
        >"$work/in/muchas.txt"
    run disk-full --output-dir "$disk" --temp-dir "$work/tmp" --date $date_arg "$work/in/muchas.txt"
    if expect_status disk-full 3; then
        failure_message disk-full "No se pudo crear el archivo:" "$disk/$list_name" \
            "no queda espacio en el disco"
    fi
    [ "$(cat "$disk/$list_name")" = "$(printf 'earlier list\r\n')" ] ||
        fail disk-full "the earlier list changed"
    [ "$(ls -A "$disk")" = "$list_name" ] || fail disk-full "left behind: $(ls -A "$disk")"
    umount -l "$disk" && mounted=
else
    echo "SKIP disk-full: cannot mount a tmpfs here"
fi

# Memory running out (a file larger than this machine can hold): a message and status 3, not a
# crash, and the earlier list stays. A sanitizer build cannot start under an address-space limit,
# so it skips this case.
limit_kb=250000
if (ulimit -v $limit_kb && "$cli" --version >/dev/null 2>&1); then
    head -c 300000000 /dev/zero | tr '\0' 'x' >"$work/in/enorme.txt"
    printf 'earlier list\r\n' >"$work/out/$list_name"
    out="$work/log/memory.out"
    err="$work/log/memory.err"
    (ulimit -v $limit_kb && timeout 120 "$cli" --output-dir "$work/out" --temp-dir "$(fresh mem_tmp)" \
        --date $date_arg "$work/in/enorme.txt") >"$out" 2>"$err"
    status=$?
    if expect_status memory 3; then
        failure_message memory "No se pudo procesar el archivo:" "$work/in/enorme.txt" \
            "no hay memoria suficiente"
    fi
    [ "$(cat "$work/out/$list_name")" = "$(printf 'earlier list\r\n')" ] ||
        fail memory "the earlier list changed"
    rm -f "$work/in/enorme.txt"
else
    echo "SKIP memory: the command does not start under an address-space limit"
fi

# Two runs at the same time on the same day, one result folder, one temporary folder, inputs of
# the same name in two folders: the list is one of the two whole lists, never a mixture, and no
# temporary file is left.
mkdir -p "$work/in/a" "$work/in/b"
awk 'BEGIN { for (i = 0; i < 3000; i++) printf "a%04d@example.com\r\n", i }' >"$work/in/a/lista.txt"
awk 'BEGIN { for (i = 0; i < 2000; i++) printf "b%04d@example.org, ", i; printf "\r\n" }' \
    >"$work/in/b/lista.txt"
o=$(fresh alone_a)
run alone-a --output-dir "$o" --temp-dir "$(fresh tmp_a)" --date $date_arg "$work/in/a/lista.txt"
cp "$o/$list_name" "$work/lista_a"
o=$(fresh alone_b)
run alone-b --output-dir "$o" --temp-dir "$(fresh tmp_b)" --date $date_arg "$work/in/b/lista.txt"
cp "$o/$list_name" "$work/lista_b"
cmp -s "$work/lista_a" "$work/lista_b" && fail concurrent "the two lists should differ"
o=$(fresh together)
t=$(fresh together_tmp)
for i in $(seq 1 20); do
    "$cli" --output-dir "$o" --temp-dir "$t" --date $date_arg "$work/in/a/lista.txt" \
        >/dev/null 2>"$work/log/together-a.err" &
    pa=$!
    "$cli" --output-dir "$o" --temp-dir "$t" --date $date_arg "$work/in/b/lista.txt" \
        >/dev/null 2>"$work/log/together-b.err" &
    pb=$!
    wait $pa || fail "concurrent-$i" "run a ended with $?"
    wait $pb || fail "concurrent-$i" "run b ended with $?"
    if ! cmp -s "$o/$list_name" "$work/lista_a" && ! cmp -s "$o/$list_name" "$work/lista_b"; then
        fail "concurrent-$i" "the list is neither whole list"
    fi
    [ "$(ls -A "$o")" = "$list_name" ] || fail "concurrent-$i" "left behind: $(ls -A "$o")"
    # A run that met the other's working file made one of its own beside it, and took it along.
    [ "$(ls -A "$t")" = lista.txt ] || fail "concurrent-$i" "left in the temporary folder: $(ls -A "$t")"
done

# Ten runs at once writing the same day's list from ten inputs: every run succeeds, the list is
# one of the whole lists, and no hidden list is left (one run's clean-up never takes another's).
o=$(fresh ten_out)
for k in $(seq 0 9); do
    printf 'r%s@example.com\r\n' "$k" >"$work/in/diez$k.txt"
done
for ronda in 1 2 3 4 5; do
    pids=
    for k in $(seq 0 9); do
        "$cli" --output-dir "$o" --temp-dir "$(fresh "ten_tmp$k")" --date $date_arg \
            "$work/in/diez$k.txt" >/dev/null 2>"$work/log/ten$k.err" &
        pids="$pids $!"
    done
    k=0
    for pid in $pids; do
        wait "$pid" || fail "ten-at-once-$ronda" "run $k ended with $?: $(cat "$work/log/ten$k.err")"
        k=$((k + 1))
    done
    grep -qx 'r[0-9]@example.com' <(tr -d '\r' <"$o/$list_name") ||
        fail "ten-at-once-$ronda" "the list is no run's whole list"
    [ "$(ls -A "$o")" = "$list_name" ] || fail "ten-at-once-$ronda" "left behind: $(ls -A "$o")"
done

# A hidden list kept after a crash, chosen as the input in the folder the list goes to: read and
# listed, never removed; a user's file that merely looks like a hidden list stays too.
o=$(fresh hidden_in)
printf 'kept@example.com\r\n' >"$o/.Mails_20050305.txt.k3j4h5g6"
printf 'mine\n' >"$o/.Mails_20231225.txt.original"
run hidden-input --output-dir "$o" --temp-dir "$(fresh hidden_tmp)" --date $date_arg \
    "$o/.Mails_20050305.txt.k3j4h5g6"
expect_status hidden-input 0
[ "$(cat "$o/.Mails_20050305.txt.k3j4h5g6" 2>/dev/null)" = $'kept@example.com\r' ] ||
    fail hidden-input "the input is gone or changed"
[ "$(cat "$o/.Mails_20231225.txt.original" 2>/dev/null)" = mine ] ||
    fail hidden-input "the user's .original file is gone"
[ "$(cat "$o/$list_name")" = $'kept@example.com\r\n\r' ] || fail hidden-input "wrong list"

# The working copy never costs a user's file of its name: with --temp-dir the input's own folder,
# Clientes.TXT leaves the separate clientes.txt alone; with TMPDIR, Notes.txt leaves notes.txt.
# The copy goes beside it, and a later run uses that copy again.
d=$(fresh beside)
printf 'c@example.com\r\n' >"$d/Clientes.TXT"
printf 'precious\n' >"$d/clientes.txt"
chmod 644 "$d/clientes.txt"
for vez in 1 2; do
    run "beside-$vez" --output-dir "$(fresh beside_out)" --temp-dir "$d" --date $date_arg \
        "$d/Clientes.TXT"
    expect_status "beside-$vez" 0
done
[ "$(cat "$d/clientes.txt")" = precious ] && [ "$(stat -c %a "$d/clientes.txt")" = 644 ] ||
    fail beside "the user's clientes.txt was changed"
[ "$(ls "$d" | tr '\n' '|')" = 'Clientes.TXT|clientes (2).txt|clientes.txt|' ] ||
    fail beside "the temporary folder holds: $(ls "$d")"
t=$(fresh tmpdir_env)
mkdir -p "$work/in/docs"
printf 'n@example.com\r\n' >"$work/in/docs/Notes.txt"
printf 'my notes\n' >"$t/notes.txt"
TMPDIR=$t run tmpdir-env --output-dir "$(fresh tmpdir_out)" --date $date_arg \
    "$work/in/docs/Notes.txt"
expect_status tmpdir-env 0
[ "$(cat "$t/notes.txt")" = 'my notes' ] || fail tmpdir-env "the user's notes.txt was changed"
[ -f "$t/notes (2).txt" ] || fail tmpdir-env "no working copy beside it: $(ls "$t")"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all robustness cases passed"
