#!/usr/bin/env bash
# Always On Top through the real Win32 calls (GetForegroundWindow, SetWindowPos with
# HWND_TOPMOST and HWND_NOTOPMOST), against a second always-on-top window: a copy of
# zemra.exe under another file name (its own registry section, Always On Top ticked by
# default). Wine shows a top-most window's band to the window manager as _NET_WM_STATE_ABOVE.
# Whichever copy is not in the foreground takes the band from the other within a second of
# its one-second tick, without moving either window.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

# The copy runs from the same folder, beside the libraries and plugins.
other_copy=$(dirname "$ZEMRA")/othercopy.exe
cp "$ZEMRA" "$other_copy"
trap 'rm -f "$other_copy"' EXIT

wine "$ZEMRA" 2>>"$E2E_DIR/stderr" &
ours_pid=$!
ours=$(wait_for_window "ZEMRA - zemra" 60) || fail "no window titled 'ZEMRA - zemra'"
wine "$other_copy" 2>>"$E2E_DIR/stderr" &
other_pid=$!
other=$(wait_for_window "ZEMRA - othercopy" 60) || fail "no window titled 'ZEMRA - othercopy'"

activate "$ours" || fail "could not activate our window"
wait_for_above 15 "$other" "$ours" || fail "the other copy did not take the top band in 15 s"
ours_geometry=$(xdotool getwindowgeometry "$ours")
other_geometry=$(xdotool getwindowgeometry "$other")

# Activating the top-most copy: at its next tick ours takes the band from it.
activate "$other" || fail "could not activate the other window"
started=$(date +%s%N)
wait_for_above 15 "$ours" "$other" ||
    fail "15 s after activating the other window: ours above: $(has_above "$ours" && echo yes || echo no), other above: $(has_above "$other" && echo yes || echo no)"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))

[ "$(xdotool getwindowgeometry "$ours")" = "$ours_geometry" ] || fail "our window moved or resized"
[ "$(xdotool getwindowgeometry "$other")" = "$other_geometry" ] ||
    fail "the other window moved or resized"

close_and_wait "$other" "$other_pid" || fail "the other copy did not end"
close_and_wait "$ours" "$ours_pid" || fail "our copy did not end"
[ "$(reg_value AlwaysOnTopTimer_TICKBOX 'HKCU\Software\ZEMRA\othercopy')" = "REG_SZ 1" ] ||
    fail "the other copy did not save its settings in a section of its own"
echo "PASSED: ours took the top band from the activated top-most window after $elapsed_ms ms"
