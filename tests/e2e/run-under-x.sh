#!/usr/bin/env bash
# Runs one real-window test script under its own X server and window manager.
# Usage: run-under-x.sh TEST_SCRIPT ZEMRA_BINARY
# Exits 77 (skipped) only when Xvfb is not installed. An X server or window manager that is
# installed but does not come up is a failure (exit 1) with its log, not a skip.
# ZEMRA_X_START_SECONDS (default 60) bounds the wait for each of the two: on a loaded machine
# both can take far longer than their usual fraction of a second.
set -uo pipefail

script=$1
export ZEMRA=$2
export E2E_DIR
E2E_DIR=$(mktemp -d)
export XDG_CONFIG_HOME=$E2E_DIR/config
mkdir -p "$XDG_CONFIG_HOME"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
start_seconds=${ZEMRA_X_START_SECONDS:-60}

xvfb_pid=
wm_pid=
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_DIR"
}
trap cleanup EXIT

# Prints $1 and the log file $2, and ends the test as failed.
start_failed() {
    echo "FAILED: $1 (log follows)"
    cat "$2"
    exit 1
}

if ! command -v Xvfb >/dev/null; then
    echo "SKIPPED: Xvfb is not installed"
    exit 77
fi

# -displayfd lets the server pick a free display number and tell us which.
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp >"$E2E_DIR/xvfb.log" 2>&1 &
xvfb_pid=$!
display=
deadline=$((SECONDS + start_seconds))
while [ -z "$display" ]; do
    read -r -t 0.2 display <&"$fd"
    [ -n "$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || start_failed "Xvfb ended before it was ready" "$E2E_DIR/xvfb.log"
    [ "$SECONDS" -lt "$deadline" ] ||
        start_failed "Xvfb was not ready after $start_seconds s" "$E2E_DIR/xvfb.log"
done
export DISPLAY=:$display

command -v openbox >/dev/null || { echo "FAILED: openbox is not installed"; exit 1; }
openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
wm_pid=$!
# The window manager is ready once it owns the screen's manager selection.
deadline=$((SECONDS + start_seconds))
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    kill -0 "$wm_pid" 2>/dev/null ||
        start_failed "the window manager ended before it was ready" "$E2E_DIR/openbox.log"
    [ "$SECONDS" -lt "$deadline" ] ||
        start_failed "the window manager was not ready after $start_seconds s" "$E2E_DIR/openbox.log"
    sleep 0.1
done

bash "$script"
