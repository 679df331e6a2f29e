#!/usr/bin/env bash
# The log output and About windows in a real X session: the main window's buttons open them
# modally, they stay above the main window when Always On Top (ticked by default) has put it
# in the above layer, Enter presses their OK button, and closing writes their position, never
# their size. The log output window is a normal window (task bars list it); About a dialog.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

# Waits up to $2 seconds for no visible window titled exactly $1 to remain.
wait_for_no_window() {
    local title=$1 seconds=$2
    for _ in $(seq 1 $((seconds * 10))); do
        if [ -z "$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null)" ]; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Clicks the main window's button $2 until a window titled $3 shows; prints that window's id.
# A click that comes while the window manager is still busy with the new main window can go
# astray, so it clicks again.
open_with_button() {
    local main=$1 button=$2 title=$3 id
    for _ in 1 2 3 4 5; do
        xdotool windowactivate --sync "$main" 2>/dev/null
        click_control "$main" "$button"
        if id=$(wait_for_window "$title" 2); then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# Whether window $1 lies above window $2 in the window manager's stacking order.
stacked_above() {
    local upper lower position=0 upper_at=-1 lower_at=-1 id
    upper=$(printf '0x%x' "$1")
    lower=$(printf '0x%x' "$2")
    for id in $(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*#//' | tr ',' ' '); do
        [ "$id" = "$upper" ] && upper_at=$position
        [ "$id" = "$lower" ] && lower_at=$position
        position=$((position + 1))
    done
    [ "$upper_at" -gt "$lower_at" ] && [ "$lower_at" -ge 0 ]
}

"$ZEMRA" &
pid=$!
main=$(wait_for_window "ZEMRA - zemra") || fail "no main window"

# The log output window opens twice: each opening maps it anew.
for window in "LOG_WINDOW LOG_OUTPUT_BUTTON NORMAL ZEMRA - LOG OUTPUT" \
    "ABOUT ABOUT_BUTTON DIALOG ZEMRA - ABOUT" "LOG_WINDOW LOG_OUTPUT_BUTTON NORMAL ZEMRA - LOG OUTPUT"; do
    read -r prefix button type title <<<"$window"
    # The first opening of each window writes its position into a file that has none; the
    # second opening, not moved, has nothing to change (an entry removed by hand meanwhile
    # would stay removed, as every hand edit does while the program runs).
    dialog=$(open_with_button "$main" "$button" "$title") || fail "no window titled '$title'"

    first_type=$(xprop -id "$dialog" _NET_WM_WINDOW_TYPE | sed 's/.*= //; s/,.*//')
    [ "$first_type" = "_NET_WM_WINDOW_TYPE_$type" ] || fail "'$title' has the type $first_type"

    # The open window has the foreground, so the next tick puts the main window above.
    for _ in $(seq 1 30); do
        has_above "$main" && break
        sleep 0.1
    done
    has_above "$main" || fail "the main window was not put above while '$title' was open"
    for _ in $(seq 1 20); do
        stacked_above "$dialog" "$main" && break
        sleep 0.1
    done
    stacked_above "$dialog" "$main" || fail "'$title' lies below the main window"

    xdotool windowactivate --sync "$dialog" 2>/dev/null
    xdotool key --clearmodifiers Return
    wait_for_no_window "$title" 5 || fail "Enter did not close '$title'"
    left=$(ini_value "$prefix-Left")
    top=$(ini_value "$prefix-Top")
    [[ "$left" =~ ^-?[0-9]+$ ]] && [[ "$top" =~ ^-?[0-9]+$ ]] ||
        fail "$prefix position written as '$left','$top'"
    ! ini_has "$prefix-Width" && ! ini_has "$prefix-Height" || fail "$prefix size was written"
    echo "$title: $first_type, above the main window, closed by Enter, position $left,$top written"
done

kill -0 "$pid" 2>/dev/null || fail "the program ended with its dialogs"
close_and_wait "$main" "$pid" || fail "the program did not end after its window was closed"
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS"
echo "PASSED: both windows open from their buttons, stay above, close on Enter, write their position"
