# Shared by the command's test scripts; sourced once $cli and $work are set. run_prefix, when
# set, is what the command runs under (Wine for tralmix-cli.exe).
# shellcheck shell=bash
# Its variables are set for the scripts that source it, and $cli and $work by them.
# shellcheck disable=SC2034,SC2154

case $cli in
    /*) ;;
    *) cli=$PWD/$cli ;;
esac
if [ -z "${run_prefix+set}" ]; then
    run_prefix=()
fi
mkdir -p "$work/log"

date_arg=2005-03-05
list_name=Mails_20050305.txt
failures=0
status=0
out=
err=

fail() {
    echo "FAIL $1: $2"
    failures=$((failures + 1))
}

# run TAG ARGS...: the command with a time limit (RUN_LIMIT seconds, 120 by default), stdout and
# stderr kept under TAG, its status in $status. A run that hangs is killed and reported (124).
run() {
    local tag=$1
    shift
    out="$work/log/$tag.out"
    err="$work/log/$tag.err"
    timeout "${RUN_LIMIT:-120}" "${run_prefix[@]}" "$cli" "$@" >"$out" 2>"$err"
    status=$?
    return "$status"
}

expect_status() {
    if [ "$status" -ne "$2" ]; then
        fail "$1" "exit status $status, expected $2; stderr: $(head -c 400 "$err")"
        return 1
    fi
}

# fresh NAME: a new empty folder under the work folder.
fresh() {
    rm -rf "${work:?}/$1"
    mkdir -p "$work/$1"
    printf '%s' "$work/$1"
}
