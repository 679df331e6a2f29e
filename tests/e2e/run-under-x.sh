#!/usr/bin/env bash
# Runs one real-window test script under its own X server and window manager.
# Usage: run-under-x.sh TEST_SCRIPT ZEMRA_BINARY
# Exits 77 (skipped) only when Xvfb is not installed. An X server or window manager that is
# installed but does not come up (after three tries on different display numbers when it
# ends early) is a failure (exit 1) with its log, not a skip.
# ZEMRA_X_START_SECONDS (default 60) bounds the wait for each of the two: on a loaded machine
# both can take far longer than their usual fraction of a second.
set -uo pipefail

script=$1
export ZEMRA=$2
export E2E_DIR
E2E_DIR=$(mktemp -d)
export XDG_CONFIG_HOME=$E2E_DIR/config
# Every run adds a record to the size history: the tests keep theirs in their own folder.
export XDG_DATA_HOME=$E2E_DIR/data
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

# Starts Xvfb on display :$1 and the window manager on it, and waits until both are ready.
# Returns 1, with both stopped, when either ended before it was ready: the display number
# was taken, or a server on that number was still shutting down (its socket can vanish
# under the new server). Ends the test as failed when one is not ready in time.
start_x() {
    local number=$1 fd ready=
    # -displayfd: the server writes the display number there once it accepts connections.
    exec {fd}<> <(:)
    Xvfb ":$number" -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp \
        >"$E2E_DIR/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local deadline=$((SECONDS + start_seconds))
    while [ -z "$ready" ]; do
        read -r -t 0.2 ready <&"$fd"
        [ -n "$ready" ] && break
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
            exec {fd}<&-
            wait "$xvfb_pid" 2>/dev/null
            xvfb_pid=
            failed_log=$E2E_DIR/xvfb.log failed_what="Xvfb ended before it was ready"
            return 1
        fi
        [ "$SECONDS" -lt "$deadline" ] ||
            start_failed "Xvfb was not ready after $start_seconds s" "$E2E_DIR/xvfb.log"
    done
    exec {fd}<&-
    export DISPLAY=:$number

    openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
    wm_pid=$!
    # The window manager is ready once it owns the screen's manager selection.
    deadline=$((SECONDS + start_seconds))
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        if ! kill -0 "$wm_pid" 2>/dev/null; then
            wait "$wm_pid" 2>/dev/null
            wm_pid=
            kill "$xvfb_pid" 2>/dev/null
            wait "$xvfb_pid" 2>/dev/null
            xvfb_pid=
            failed_log=$E2E_DIR/openbox.log
            failed_what="the window manager ended before it was ready"
            return 1
        fi
        [ "$SECONDS" -lt "$deadline" ] ||
            start_failed "the window manager was not ready after $start_seconds s" \
                "$E2E_DIR/openbox.log"
        sleep 0.1
    done
}

command -v openbox >/dev/null || { echo "FAILED: openbox is not installed"; exit 1; }
# A display number of our own, away from the low ones every other server picks first, and
# another on each of a few tries; so that tests running side by side do not reuse the number
# a finished test's server is still giving up.
failed_log='' failed_what=''
started=
tries=3
for ((try = 1; try <= tries; try++)); do
    if start_x $((100 + RANDOM % 900)); then
        started=1
        break
    fi
done
[ -n "$started" ] || start_failed "$failed_what ($tries tries)" "$failed_log"

bash "$script"
