#!/usr/bin/env bash
# A measurement made slow on purpose (every directory read delayed under strace):
# the window's close request ends the program within a second without touching the log
# file, and STOP ends the measurement without a log and without a second run.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

if ! command -v strace >/dev/null; then
    echo "SKIPPED: strace is not installed"
    exit 77
fi

# A chain of 300 folders, each holding the next and one file. Every directory read of the
# walk is delayed by 100 ms, and a chain cannot be walked in parallel, so the walk takes
# about a minute whatever the number of threads.
tree=$E2E_DIR/tree
level=$tree
for i in $(seq 1 300); do
    level=$level/d
    mkdir -p "$level"
    echo "$i" >"$level/f"
done
log=$E2E_DIR/run.log
printf 'the previous log\r\n' >"$log"
cp "$log" "$E2E_DIR/previous.log"

# Starts the program, then slows its directory reads by attaching strace (attaching after
# start-up leaves the start itself at full speed). Sets PID and WINDOW.
start_slowed() {
    write_settings "FF_LOCATION_TEXTBOX=$tree" "LOGFILE_TEXTBOX=$log" USE_FOLDER_TICKBOX=1 \
        AlwaysOnTopTimer_TICKBOX=0
    "$ZEMRA" 2>"$E2E_DIR/stderr" &
    PID=$!
    WINDOW=$(wait_for_window "ZEMRA - zemra" 20) || fail "no main window"
    : >"$E2E_DIR/trace"
    strace -f -y -qq -p "$PID" -o "$E2E_DIR/trace" -e trace=getdents64 \
        -e inject=getdents64:delay_enter=100000 2>"$E2E_DIR/strace.log" &
    for _ in $(seq 1 50); do
        [ "$(awk '/^TracerPid:/ { print $2 }' "/proc/$PID/status")" != 0 ] && break
        sleep 0.1
    done
    [ "$(awk '/^TracerPid:/ { print $2 }' "/proc/$PID/status")" != 0 ] ||
        fail "strace could not attach: $(cat "$E2E_DIR/strace.log")"
    xdotool windowactivate --sync "$WINDOW"
}

# Clicks Run Now and waits until the walk has read a few folders of the chain.
run_now_and_wait_for_walk() {
    click_control "$WINDOW" RUN_NOW_BUTTON
    for _ in $(seq 1 150); do
        [ "$(grep -c "$tree" "$E2E_DIR/trace")" -ge 4 ] && return 0
        sleep 0.1
    done
    fail "the walk did not start within 15 s of Run Now"
}

# (a) The window manager's close request during the walk.
start_slowed
run_now_and_wait_for_walk
asked=$(date +%s%N)
wmctrl -i -c "$WINDOW"
wait_for_exit "$PID" 5 || fail "the program still runs 5 s after the close request"
took_ms=$((($(date +%s%N) - asked) / 1000000))
echo "ended ${took_ms} ms after the close request, status $EXIT_STATUS"
[ "$took_ms" -le 1000 ] || fail "the program took ${took_ms} ms to end (at most 1000)"
[ "$EXIT_STATUS" -eq 1 ] || fail "exit status $EXIT_STATUS after a cancelled run (want 1)"
grep -q "measurement cancelled" "$E2E_DIR/stderr" || fail "no cancellation line on stderr"
cmp -s "$log" "$E2E_DIR/previous.log" || fail "the log file changed"
[ "$(ini_value USE_FOLDER_TICKBOX)" = 1 ] || fail "the settings were not written on close"

# (b) STOP during the walk.
start_slowed
run_now_and_wait_for_walk
click_control "$WINDOW" AUTO_STARTS_STOPS_BUTTON
sleep 1
calls=$(grep -c "$tree" "$E2E_DIR/trace")
sleep 15
calls_later=$(grep -c "$tree" "$E2E_DIR/trace")
echo "folder reads: $calls one second after STOP, $calls_later fifteen seconds later"
[ "$calls_later" -eq "$calls" ] || fail "the walk went on, or a second run began, after STOP"
cmp -s "$log" "$E2E_DIR/previous.log" || fail "the log file changed after STOP"
close_and_wait "$WINDOW" "$PID" || fail "the program did not end"
[ "$EXIT_STATUS" -eq 1 ] || fail "exit status $EXIT_STATUS after a stopped run (want 1)"
cmp -s "$log" "$E2E_DIR/previous.log" || fail "the log file changed after closing"

echo "PASSED: a slow measurement ends at once on close and on STOP, and keeps the old log"
