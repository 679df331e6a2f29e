#!/usr/bin/env bash
# The command-line options: --help and --version print and exit 0, a wrong option or a stray
# argument prints one error line and the usage on stderr and exits 2; all of them without
# opening a window, with a display and without one.
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
}

for NO_DISPLAY in 0 1; do
    export NO_DISPLAY
    expect 0 stdout "Usage: zemra [options]" "" -- --help
    expect 0 stdout "Usage: zemra [options]" "" -- -h
    expect 0 stdout "Zemra-Gauge $version" "" -- --version
    expect 0 stdout "Zemra-Gauge $version" "" -- -v
    expect 0 stdout "Zemra-Gauge $version" "" -- -platform offscreen --version
    expect 2 stderr "zemra: Unknown option 'nonsense'." "Usage: zemra [options]" -- --nonsense
    expect 2 stderr "zemra: Unexpected argument '/some/path'." "Usage: zemra [options]" \
        -- /some/path
    expect 2 stderr "zemra: Unexpected argument 'extra'." "Usage: zemra [options]" \
        -- --headless extra
    expect 2 stderr "zemra: Unknown option 'bogus'." "Usage: zemra [options]" -- --help --bogus
done
grep -q -- '--headless' "$err" || fail "the usage does not list --headless"
[ ! -e "$INI" ] || fail "answering an option touched the settings file"

echo "PASSED: --help, --version, unknown option and stray argument, with and without a display"
