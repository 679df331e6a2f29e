#!/usr/bin/env bash
# Always On Top in a real X session, against another always-on-top window: a second copy of
# the program under another file name (its own settings section, Always On Top ticked by
# default). Whichever copy is not in the foreground takes the other's above state at its
# next tick, without moving either window.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

other_copy=$E2E_DIR/othercopy
cp "$ZEMRA" "$other_copy"

"$ZEMRA" &
ours_pid=$!
ours=$(wait_for_window "ZEMRA - zemra") || fail "no window titled 'ZEMRA - zemra'"
"$other_copy" &
other_pid=$!
other=$(wait_for_window "ZEMRA - othercopy") || fail "no window titled 'ZEMRA - othercopy'"

# With ours in the foreground, the other copy's ticks make it the above window.
activate "$ours" || fail "could not activate our window"
wait_for_above 15 "$other" "$ours" || fail "the other copy did not take the above state in 15 s"
ours_geometry=$(xdotool getwindowgeometry "$ours")
other_geometry=$(xdotool getwindowgeometry "$other")

# Activating that always-on-top window: at its next one-second tick ours takes the above state
# from it. A loaded machine can delay the tick by seconds, so the wait is long; the time it
# took is reported.
activate "$other" || fail "could not activate the other window"
started=$(date +%s%N)
wait_for_above 15 "$ours" "$other" ||
    fail "15 s after activating the other window: ours above: $(has_above "$ours" && echo yes || echo no), other above: $(has_above "$other" && echo yes || echo no)"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))

[ "$(xdotool getwindowgeometry "$ours")" = "$ours_geometry" ] || fail "our window moved or resized"
[ "$(xdotool getwindowgeometry "$other")" = "$other_geometry" ] || fail "the other window moved or resized"

close_and_wait "$other" "$other_pid" || fail "the other copy did not end"
close_and_wait "$ours" "$ours_pid" || fail "our copy did not end"
echo "PASSED: ours took the above state from the activated window after $elapsed_ms ms"
