#!/usr/bin/env bash
# A user-space mount whose daemon stops answering (bindfs stopped with SIGSTOP, as a dead
# network share behaves), with the target itself on it: STOP leaves each stuck measurement
# behind, later runs still get a worker of their own, and past the limit of abandoned ones
# the run that fails at once waits for its log write off the window, which still closes at
# once. SIGTERM ends a headless launch stuck in its measurement or in its log write (neither
# kind ticked), and a one-shot run whose log file is on the mount, each by that signal.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

if [ ! -c /dev/fuse ] || ! command -v bindfs >/dev/null; then
    echo "SKIPPED: needs /dev/fuse and bindfs (scripts/install-deps.sh) to mount a share"
    exit 77
fi

tree=$E2E_DIR/tree
mkdir -p "$tree/share" "$E2E_DIR/backing/inside" "$E2E_DIR/healthy"
echo local >"$tree/local.txt"
echo remote >"$E2E_DIR/backing/inside/remote.txt"
printf '12345' >"$E2E_DIR/healthy/five.bin"

bindfs -f "$E2E_DIR/backing" "$tree/share" 2>"$E2E_DIR/bindfs.log" &
daemon=$!
cleanup() {
    kill -CONT "$daemon" 2>/dev/null
    fusermount -u "$tree/share" 2>/dev/null || umount -l "$tree/share" 2>/dev/null
    kill "$daemon" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 1 50); do
    mountpoint -q "$tree/share" && break
    sleep 0.1
done
mountpoint -q "$tree/share" || {
    echo "SKIPPED: bindfs could not mount here: $(cat "$E2E_DIR/bindfs.log")"
    exit 77
}
kill -STOP "$daemon"

milliseconds() { date +%s%3N; }

# (a) A window: three measurements of a target on the share, each stopped; a healthy folder;
# then more stuck ones, up to the limit; the run past it fails at once and its log write waits
# on the share, away from the window.
stuck=$tree/share/inside
log=$E2E_DIR/run.log
write_settings "FF_LOCATION_TEXTBOX=$stuck" "LOGFILE_TEXTBOX=$log" USE_FOLDER_TICKBOX=1 \
    AlwaysOnTopTimer_TICKBOX=0
"$ZEMRA" 2>"$E2E_DIR/stderr" &
pid=$!
window=$(wait_for_window "ZEMRA - zemra" 20) || fail "no main window"
xdotool windowactivate --sync "$window"
stuck_runs() {
    for _ in $(seq 1 "$1"); do
        click_control "$window" RUN_NOW_BUTTON
        sleep 4
        click_control "$window" AUTO_STARTS_STOPS_BUTTON
        sleep 0.5
    done
}
type_target() {
    click_control "$window" FF_LOCATION_TEXTBOX
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 5 "$1"
}
stuck_runs 3
[ ! -e "$log" ] || fail "a stopped measurement wrote the log: $(cat "$log")"

type_target "$E2E_DIR/healthy"
click_control "$window" RUN_NOW_BUTTON
for _ in $(seq 1 100); do
    [ -s "$log" ] && break
    sleep 0.1
done
grep -qF "FOLDER = $E2E_DIR/healthy" "$log" ||
    fail "no run after three stuck ones: $(cat "$log" 2>/dev/null) $(cat "$E2E_DIR/stderr")"
grep -q $'^5 B  \r$' "$log" || fail "the healthy folder was mis-measured: $(cat -A "$log")"
echo "three stuck measurements stopped, a fourth ran"

type_target "$stuck"
stuck_runs 5
click_control "$window" RUN_NOW_BUTTON
sleep 4
kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$E2E_DIR/stderr")"
start=$(milliseconds)
wmctrl -i -c "$window"
wait_for_exit "$pid" 5 || { kill -9 "$pid"; fail "the program did not end after its window closed"; }
closed=$(($(milliseconds) - start))
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS after a cancelled run: $(cat "$E2E_DIR/stderr")"
grep -q "log file write cancelled because the window was closed" "$E2E_DIR/stderr" ||
    fail "no word of the cancelled log write: $(cat "$E2E_DIR/stderr")"
[ "$(ini_value FF_LOCATION_TEXTBOX)" = "$stuck" ] || fail "the settings were not saved"
echo "eight stuck measurements left behind; the ninth's log write waited; closed in $closed ms"

# (b), (c), (d) at once, each with settings of its own: a headless launch stuck measuring the
# share; one with neither kind ticked, stuck in its log write's check of the target; a
# one-shot run whose log file is on the share. SIGTERM ends each at once, by SIGTERM.
declare -A pids watchers
for case in measuring writing one-shot; do
    export XDG_CONFIG_HOME=$E2E_DIR/config-$case
    INI=$XDG_CONFIG_HOME/ZEMRA/ZEMRA.ini
    WATCHED=$E2E_DIR/$case
    case $case in
    measuring)
        write_settings "FF_LOCATION_TEXTBOX=$stuck" "LOGFILE_TEXTBOX=$E2E_DIR/$case.log" \
            USE_FOLDER_TICKBOX=1 AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1
        start_watched "$ZEMRA" --headless 2>"$WATCHED.stderr"
        ;;
    writing)
        write_settings "FF_LOCATION_TEXTBOX=$stuck" "LOGFILE_TEXTBOX=$E2E_DIR/$case.log" \
            USE_FILE_TICKBOX=0 USE_FOLDER_TICKBOX=0 AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1
        start_watched "$ZEMRA" --headless 2>"$WATCHED.stderr"
        ;;
    one-shot)
        start_watched "$ZEMRA" --folder "$E2E_DIR/healthy" --log "$stuck/run.log" \
            2>"$WATCHED.stderr"
        ;;
    esac
    pids[$case]=$WATCHED_PID
    watchers[$case]=$WATCHER
done
sleep 15
for case in measuring writing one-shot; do
    WATCHED=$E2E_DIR/$case
    pid=${pids[$case]} watcher=${watchers[$case]}
    kill -0 "$pid" 2>/dev/null || fail "$case: ended before the signal: $(cat "$WATCHED.stderr")"
    start=$(milliseconds)
    kill -TERM "$pid"
    wait_for_exit "$watcher" 5 || { kill -9 "$pid"; fail "$case: SIGTERM did not end it"; }
    ended=$(($(milliseconds) - start))
    [ "$(cat "$WATCHED.ended")" = "signal 15" ] ||
        fail "$case: ended by '$(cat "$WATCHED.ended")', not by SIGTERM: $(cat "$WATCHED.stderr")"
    [ ! -e "$E2E_DIR/$case.log" ] || fail "$case: a cancelled run wrote the log"
    grep -q "cancelled by SIGTERM" "$WATCHED.stderr" || fail "$case: stderr: $(cat "$WATCHED.stderr")"
    echo "SIGTERM ended the stuck launch ($case) in $ended ms"
done

echo "PASSED: a share that stops answering never holds the program"
