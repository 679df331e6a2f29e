#!/usr/bin/env bash
# The command-line answers of zemra.exe, a program for the Windows desktop (no console of its
# own): --help and --version reach standard output when it is redirected (a file here) and
# the console of the program that started it (a terminal here), and show in a message box
# when there is neither; a wrong option gives the error line and the usage on standard error
# and exit status 2, never a message box. None opens the main window or touches the
# registry.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

version=${ZEMRA_PROJECT_VERSION:?the project version is not set}
out=$E2E_DIR/out
err=$E2E_DIR/err

# expect STATUS STREAM FIRST_LINE [SECOND_LINE] -- ARGUMENTS...
expect() {
    local status=$1 stream=$2 first=$3 second=$4
    shift 5
    timeout 60 wine "$ZEMRA" "$@" >"$out" 2>"$err"
    local actual=$?
    [ "$actual" != 124 ] || fail "zemra.exe $* did not end by itself"
    [ "$actual" = "$status" ] || fail "zemra.exe $* exited with $actual, expected $status"
    local file=$out
    [ "$stream" = stdout ] || file=$err
    [ "$(sed -n 1p "$file" | tr -d '\r')" = "$first" ] ||
        fail "zemra.exe $*: first $stream line is '$(sed -n 1p "$file")', expected '$first'"
    if [ -n "$second" ]; then
        [ "$(sed -n 2p "$file" | tr -d '\r')" = "$second" ] ||
            fail "zemra.exe $*: second $stream line is '$(sed -n 2p "$file")', expected '$second'"
    fi
}

# The messages name the program as it was started: here as zemra.exe.
expect 0 stdout "Usage: zemra.exe [options]" "" -- --help
expect 0 stdout "Zemra-Gauge $version" "" -- --version
expect 0 stdout "Zemra-Gauge $version" "" -- -v
expect 2 stderr "zemra.exe: Unknown option 'nonsense'. Try 'zemra.exe --help'." "" -- --nonsense
expect 2 stderr "zemra.exe: Unexpected argument 'extra'. Try 'zemra.exe --help'." "" \
    -- --headless extra

# From a terminal: the text goes to the console zemra.exe was started from. Wine's console
# draws it with escape sequences, a blank as a move to the right.
script -qec "timeout 60 wine '$ZEMRA' --version" /dev/null >"$out" 2>&1
sed 's/\x1b\[1C/ /g; s/\x1b\[[0-9;?]*[A-Za-z]//g; s/\r//g' "$out" >"$out.text"
grep -qx "Zemra-Gauge $version" "$out.text" ||
    fail "--version from a terminal printed: $(cat -A "$out")"

# Without a console or redirection (started from Explorer, a shortcut; here through start,
# which passes no streams): --help and --version show in a message box under the program's
# name, which waits for OK; a wrong argument ends with status 2 without one, as a scheduled
# job must.
for arguments in --version --help; do
    wine start /wait /unix "$ZEMRA" "$arguments" </dev/null >/dev/null 2>&1 &
    pid=$!
    box=$(wait_for_window zemra.exe 60) || fail "$arguments without a console showed no message box"
    wait_for_exit "$pid" 2 && fail "zemra.exe $arguments ended before its message box was closed"
    activate "$box" || fail "could not activate the message box of $arguments"
    xdotool key Return
    wait_for_exit "$pid" 30 || fail "zemra.exe $arguments did not end after OK"
    [ "$EXIT_STATUS" = 0 ] || fail "zemra.exe $arguments exited with $EXIT_STATUS after OK"
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name '^zemra\.exe$' >/dev/null 2>&1 || break
        sleep 0.1
    done
done
wine start /wait /unix "$ZEMRA" --nonsense </dev/null >/dev/null 2>&1 &
pid=$!
wait_for_exit "$pid" 60 || fail "zemra.exe --nonsense without a console did not end by itself"
[ "$EXIT_STATUS" = 2 ] || fail "zemra.exe --nonsense without a console exited with $EXIT_STATUS"

! wine reg query "$REGISTRY_KEY" >/dev/null 2>&1 || fail "answering an option wrote settings"
echo "PASSED: --help, --version and wrong arguments answered on the streams and the console"
