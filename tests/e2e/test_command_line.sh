#!/usr/bin/env bash
# The command-line options: --help and --version print and exit 0, a wrong option or a stray
# argument prints one error line and the usage on stderr and exits 2; all of them without
# opening a window, with a display and without one. A one-shot run (--folder or --file with
# --log) measures without a window and never touches the settings; given wrongly it is a
# usage error.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

out=$E2E_DIR/out
err=$E2E_DIR/err
version=${ZEMRA_PROJECT_VERSION:?the project version is not set}
empty_runtime=$E2E_DIR/runtime
mkdir -p "$empty_runtime"

# Runs zemra with the given arguments; with NO_DISPLAY=1 as if no graphical session existed.
# A launch that opened a window would not end by itself: after 10 s it counts as a failure.
run() {
    if [ "${NO_DISPLAY:-0}" = 1 ]; then
        env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$empty_runtime" \
            timeout 10 "$ZEMRA" "$@" >"$out" 2>"$err"
    else
        timeout 10 "$ZEMRA" "$@" >"$out" 2>"$err"
    fi
    STATUS=$?
    [ "$STATUS" != 124 ] || fail "zemra $* did not end by itself"
}

# expect STATUS STREAM FIRST_LINE [SECOND_LINE] -- ARGUMENTS...
expect() {
    local status=$1 stream=$2 first=$3 second=$4
    shift 5
    run "$@"
    [ "$STATUS" = "$status" ] || fail "zemra $* exited with $STATUS, expected $status"
    local file=$out silent=$err
    if [ "$stream" = stderr ]; then
        file=$err
        silent=$out
    fi
    [ "$(sed -n 1p "$file")" = "$first" ] ||
        fail "zemra $*: first $stream line is '$(sed -n 1p "$file")', expected '$first'"
    if [ -n "$second" ]; then
        [ "$(sed -n 2p "$file")" = "$second" ] ||
            fail "zemra $*: second $stream line is '$(sed -n 2p "$file")', expected '$second'"
    fi
    [ ! -s "$silent" ] || fail "zemra $* also wrote to the other stream: $(cat "$silent")"
    [ "$status" != 2 ] || [ "$(wc -l <"$err")" = 1 ] ||
        fail "zemra $*: a usage error took more than one line: $(cat "$err")"
}

for NO_DISPLAY in 0 1; do
    export NO_DISPLAY
    expect 0 stdout "Usage: zemra [options]" "" -- --help
    expect 0 stdout "Usage: zemra [options]" "" -- -h
    expect 0 stdout "Zemra-Gauge $version" "" -- --version
    expect 0 stdout "Zemra-Gauge $version" "" -- -v
    expect 0 stdout "Zemra-Gauge $version" "" -- -platform offscreen --version
    expect 2 stderr "zemra: Unknown option 'nonsense'. Try 'zemra --help'." "" -- --nonsense
    expect 2 stderr "zemra: Unexpected argument '/some/path'. Try 'zemra --help'." "" \
        -- /some/path
    expect 2 stderr "zemra: Unexpected argument 'extra'. Try 'zemra --help'." "" \
        -- --headless extra
    expect 2 stderr "zemra: Unknown option 'bogus'. Try 'zemra --help'." "" -- --help --bogus
    expect 2 stderr "zemra: --file and --folder need --log FILE. Try 'zemra --help'." "" \
        -- --folder /tmp
    expect 2 stderr "zemra: --log needs --file PATH or --folder PATH. Try 'zemra --help'." "" \
        -- --log -
    expect 2 stderr "zemra: --file and --folder cannot be given together. Try 'zemra --help'." \
        "" -- --file /etc/hostname --folder /tmp --log -
    expect 2 stderr "zemra: --headless runs the stored unattended launch; it cannot be given with --file or --folder, which never show a window. Try 'zemra --help'." "" \
        -- --headless --folder /tmp --log -
    expect 2 stderr "zemra: --folder is given more than once. Try 'zemra --help'." "" \
        -- --folder /tmp --folder /etc --log -
done
run --help
grep -q -- '--headless' "$out" || fail "the usage does not list --headless"
[ ! -e "$INI" ] || fail "answering an option touched the settings file"

# One-shot runs without a display, next to a settings file that must stay as it is.
mkdir -p "$(dirname "$INI")" "$E2E_DIR/tree"
printf '[zemra]\nFF_LOCATION_TEXTBOX=/stored\nUSE_FILE_TICKBOX=1\n' >"$INI"
cp "$INI" "$E2E_DIR/settings.before"
printf '12345' >"$E2E_DIR/tree/five.bin"
NO_DISPLAY=1 run --folder "$E2E_DIR/tree" --log -
[ "$STATUS" = 0 ] || fail "--folder --log -: exit status $STATUS: $(cat "$err")"
[ ! -s "$err" ] || fail "a good one-shot run printed on stderr: $(cat "$err")"
[ "$(grep -c $'\r$' "$out")" = 18 ] || fail "--log - wrote no 18-line run log: $(cat -A "$out")"
grep -qx $'5 B  \r' "$out" || fail "--folder measured wrongly: $(cat -A "$out")"
# A name that is not UTF-8 keeps its bytes; the log shows them as U+FFFD.
latin1=$E2E_DIR/caf$'\xe9'
mkdir "$latin1" && printf '123' >"$latin1/three.bin"
NO_DISPLAY=1 run --folder "$latin1" --log -
[ "$STATUS" = 0 ] || fail "--folder with a Latin-1 name: exit status $STATUS: $(cat "$err")"
grep -qxF "FOLDER = $E2E_DIR/caf"$'\xef\xbf\xbd\r' "$out" || fail "the log named: $(grep FOLDER "$out")"
grep -qx $'3 B  \r' "$out" || fail "a Latin-1 folder measured wrongly: $(cat -A "$out")"

# Standard output that cannot take the log fails the run, as a log file would.
for destination in full closed; do
    if [ $destination = full ]; then
        env -u DISPLAY "$ZEMRA" --folder "$E2E_DIR/tree" --log - >/dev/full 2>"$err"
    else
        env -u DISPLAY "$ZEMRA" --folder "$E2E_DIR/tree" --log - >&- 2>"$err"
    fi
    STATUS=$?
    [ "$STATUS" = 1 ] || fail "--log - into a $destination standard output exited $STATUS"
    grep -q '^zemra: run failed: Cannot write the run log to standard output' "$err" ||
        fail "--log - into a $destination standard output said: $(cat "$err")"
done
NO_DISPLAY=1 run --file "$E2E_DIR/missing.bin" --log "$E2E_DIR/failed.log"
[ "$STATUS" = 1 ] || fail "a failing one-shot run exited with $STATUS"
[ "$(wc -l <"$err")" = 1 ] && grep -q '^zemra: run failed: .*missing.bin' "$err" ||
    fail "a failing one-shot run did not give its reason in one line: $(cat "$err")"
grep -q '^ERROR = .*missing.bin' "$E2E_DIR/failed.log" || fail "no error report in the log file"
cmp -s "$INI" "$E2E_DIR/settings.before" || fail "a one-shot run changed the settings"
[ ! -e "$INI.lock" ] || fail "a one-shot run took the settings lock"

echo "PASSED: --help, --version, unknown option and stray argument, one-shot runs and their" \
    "misuse, with and without a display"
