#!/usr/bin/env bash
# Runs one real-window test script under its own X server and window manager.
# Usage: run-under-x.sh TEST_SCRIPT ZEMRA_BINARY
# Exits 77 (skipped) only when no X server can be started here.
set -uo pipefail

script=$1
export ZEMRA=$2
export E2E_DIR
E2E_DIR=$(mktemp -d)
export XDG_CONFIG_HOME=$E2E_DIR/config
mkdir -p "$XDG_CONFIG_HOME"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

xvfb_pid=
wm_pid=
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_DIR"
}
trap cleanup EXIT

if ! command -v Xvfb >/dev/null; then
    echo "SKIPPED: Xvfb is not installed"
    exit 77
fi

# -displayfd lets the server pick a free display number and tell us which.
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp >"$E2E_DIR/xvfb.log" 2>&1 &
xvfb_pid=$!
display=
for _ in $(seq 1 100); do
    if read -r -t 0.1 display <&"$fd" && [ -n "$display" ]; then
        break
    fi
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        break
    fi
done
if [ -z "$display" ]; then
    echo "SKIPPED: Xvfb could not start:"
    cat "$E2E_DIR/xvfb.log"
    exit 77
fi
export DISPLAY=:$display

openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
wm_pid=$!
# The window manager is ready once it owns the screen's manager selection.
for _ in $(seq 1 100); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        break
    fi
    sleep 0.1
done

bash "$script"
