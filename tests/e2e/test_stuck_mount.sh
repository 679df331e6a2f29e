#!/usr/bin/env bash
# A folder tree with a user-space mount inside whose daemon stops answering (bindfs stopped
# with SIGSTOP, as a dead network share behaves): STOP leaves each stuck measurement behind,
# later runs still get a worker of their own, closing the window ends the program at once,
# and so does SIGTERM for a headless launch stuck the same way (status 143, no log file).
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

# (a) A window: three measurements stuck in the share, each stopped; then a healthy folder.
log=$E2E_DIR/run.log
write_settings "FF_LOCATION_TEXTBOX=$tree" "LOGFILE_TEXTBOX=$log" USE_FOLDER_TICKBOX=1 \
    AlwaysOnTopTimer_TICKBOX=0
"$ZEMRA" 2>"$E2E_DIR/stderr" &
pid=$!
window=$(wait_for_window "ZEMRA - zemra" 20) || fail "no main window"
xdotool windowactivate --sync "$window"
for attempt in 1 2 3; do
    click_control "$window" RUN_NOW_BUTTON
    sleep 4
    click_control "$window" AUTO_STARTS_STOPS_BUTTON
    sleep 0.5
done
[ ! -e "$log" ] || fail "a stopped measurement wrote the log: $(cat "$log")"

click_control "$window" FF_LOCATION_TEXTBOX
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 5 "$E2E_DIR/healthy"
click_control "$window" RUN_NOW_BUTTON
for _ in $(seq 1 100); do
    [ -s "$log" ] && break
    sleep 0.1
done
grep -qF "FOLDER = $E2E_DIR/healthy" "$log" ||
    fail "no run after three stuck ones: $(cat "$log" 2>/dev/null) $(cat "$E2E_DIR/stderr")"
grep -q $'^5 B  \r$' "$log" || fail "the healthy folder was mis-measured: $(cat -A "$log")"

start=$(milliseconds)
wmctrl -i -c "$window"
wait_for_exit "$pid" 5 || { kill -9 "$pid"; fail "the program did not end after its window closed"; }
closed=$(($(milliseconds) - start))
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after a good last run: $(cat "$E2E_DIR/stderr")"
[ "$(ini_value FF_LOCATION_TEXTBOX)" = "$E2E_DIR/healthy" ] || fail "the settings were not saved"
echo "three stuck measurements stopped, a fourth ran; closed in $closed ms"

# (b) Headless and unattended, stuck in the share: SIGTERM ends it like the close box.
log=$E2E_DIR/headless.log
write_settings "FF_LOCATION_TEXTBOX=$tree" "LOGFILE_TEXTBOX=$log" USE_FOLDER_TICKBOX=1 \
    AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1
"$ZEMRA" --headless 2>"$E2E_DIR/stderr" &
pid=$!
sleep 15
kill -0 "$pid" 2>/dev/null || fail "the headless launch ended before the signal: $(cat "$E2E_DIR/stderr")"
start=$(milliseconds)
kill -TERM "$pid"
wait_for_exit "$pid" 5 || { kill -9 "$pid"; fail "SIGTERM did not end the stuck launch"; }
ended=$(($(milliseconds) - start))
[ "$EXIT_STATUS" = 143 ] || fail "exit status $EXIT_STATUS after SIGTERM, expected 143"
[ ! -e "$log" ] || fail "a cancelled measurement wrote the log"
grep -q "measurement cancelled" "$E2E_DIR/stderr" || fail "stderr: $(cat "$E2E_DIR/stderr")"
echo "SIGTERM ended the stuck headless launch in $ended ms"

echo "PASSED: a share that stops answering never holds the program"
