#!/usr/bin/env bash
# The main window in a real X session: title, client size, settings written when the window
# manager closes it, and the same position after a relaunch.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

"$ZEMRA" &
pid=$!
window=$(wait_for_window "ZEMRA - zemra") || fail "no window titled 'ZEMRA - zemra'"

eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 354 ] && [ "$HEIGHT" = 256 ] || fail "client size ${WIDTH}x${HEIGHT}, expected 354x256"

close_and_wait "$window" "$pid" || fail "the program did not end after its window was closed"
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS"

[ -f "$INI" ] || fail "no settings file at $INI"
for key in MAIN-Left MAIN-Top AlwaysOnTopTimer_TICKBOX AUTOSTART_TICKBOX AUTOCLOSE_TICKBOX \
    USE_FILE_TICKBOX USE_FOLDER_TICKBOX FF_LOCATION_TEXTBOX LOGFILE_TEXTBOX; do
    ini_has "$key" || fail "$key was not written"
done
left=$(ini_value MAIN-Left)
top=$(ini_value MAIN-Top)
[ "$left" = 1000 ] && [ "$top" = 1000 ] || fail "position written as $left,$top, expected 1000,1000"

# Move it, close it, relaunch: the window comes back where it was left, twice in a row.
"$ZEMRA" &
pid=$!
window=$(wait_for_window "ZEMRA - zemra") || fail "no window on the second launch"
eval "$(xdotool getwindowgeometry --shell "$window")"
before_x=$X
xdotool windowmove "$window" 300 200
for _ in $(seq 1 50); do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$X" != "$before_x" ] && break
    sleep 0.1
done
[ "$X" != "$before_x" ] || fail "the window manager did not move the window"
moved_x=$X
moved_y=$Y
close_and_wait "$window" "$pid" || fail "second launch did not end"
moved_left=$(ini_value MAIN-Left)
moved_top=$(ini_value MAIN-Top)
[ "$moved_left" != 1000 ] || fail "the move was not saved (MAIN-Left $moved_left)"

"$ZEMRA" &
pid=$!
window=$(wait_for_window "ZEMRA - zemra") || fail "no window on the third launch"
# Closed only once the window manager shows it where the second launch left it.
for _ in $(seq 1 100); do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$X,$Y" = "$moved_x,$moved_y" ] && break
    sleep 0.1
done
[ "$X,$Y" = "$moved_x,$moved_y" ] ||
    fail "the third launch shows the window at $X,$Y, where the second left it at $moved_x,$moved_y"
close_and_wait "$window" "$pid" || fail "third launch did not end"
[ "$(ini_value MAIN-Left)" = "$moved_left" ] && [ "$(ini_value MAIN-Top)" = "$moved_top" ] ||
    fail "position drifted from $moved_left,$moved_top to $(ini_value MAIN-Left),$(ini_value MAIN-Top)"

echo "PASSED: title, 354x256 client, settings written, position $moved_left,$moved_top kept"
