#!/usr/bin/env bash
# The size history: every run that measures adds a record (one-shot, --headless, and launches
# started together), --history prints a target's records as CSV, the alarms exit 3 with one
# line on stderr while the log is written as always, --no-history adds nothing, a history
# that cannot be written never fails a run, and Ctrl+H opens the History window, which
# remembers its position.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

out=$E2E_DIR/out
err=$E2E_DIR/err
db=$XDG_DATA_HOME/ZEMRA/history.sqlite
tree="$E2E_DIR/reports, 2024"
mkdir -p "$tree/sub"
printf '1234567' >"$tree/a.bin"
printf '123' >"$tree/sub/b.bin"

once() {
    timeout 60 "$ZEMRA" "$@" >"$out" 2>"$err"
    STATUS=$?
    [ "$STATUS" != 124 ] || fail "zemra $* did not end by itself"
}
records() {
    once --history "$tree"
    [ "$STATUS" -le 1 ] || fail "--history exited with $STATUS: $(cat "$err")"
    if [ "$STATUS" = 0 ]; then echo $(($(wc -l <"$out") - 1)); else echo 0; fi
}

[ "$(records)" = 0 ] || fail "a new history holds records"
[ ! -s "$err" ] || fail "--history of an empty history printed: $(cat "$err")"

env -u DISPLAY "$ZEMRA" --folder "$tree" --log "$E2E_DIR/one.log" >"$out" 2>"$err" ||
    fail "a one-shot run failed: $(cat "$err")"
[ ! -s "$out" ] && [ ! -s "$err" ] || fail "a good one-shot run printed: $(cat "$out" "$err")"
[ -f "$db" ] || fail "no history at $db"
once --history "$tree"
[ "$STATUS" = 0 ] || fail "--history exited with $STATUS"
[ "$(sed -n 1p "$out")" = $'time,target,kind,bytes,files,folders,seconds,outcome\r' ] ||
    fail "no CSV header: $(cat -A "$out")"
grep -qE $'^20[0-9]{2}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z,"'"$tree"$'",folder,10,2,1,[0-9]+\\.[0-9]{3},good\r$' "$out" ||
    fail "the record is not as measured: $(cat -A "$out")"
once --history "$E2E_DIR/never measured"
[ "$STATUS" = 1 ] && [ ! -s "$out" ] || fail "--history of an unknown target: $STATUS, $(cat "$out")"
once --history "$tree" --since 2999-01-01
[ "$STATUS" = 1 ] || fail "--since in the future still found records"
echo "a one-shot run added its record; --history prints it as CSV"

# Launches started together: every one gets its record in.
for i in 1 2 3 4 5 6; do
    env -u DISPLAY "$ZEMRA" --folder "$tree" --log "$E2E_DIR/together$i.log" 2>"$E2E_DIR/err$i" &
done
wait
cat "$E2E_DIR"/err? >"$err"
[ ! -s "$err" ] || fail "launches started together printed: $(cat "$err")"
[ "$(records)" = 7 ] || fail "launches started together lost records: $(records) of 7"
echo "six launches started together added six records"

# The alarms: exit 3, one line, the log written as always.
rm -f "$E2E_DIR/alarm.log"
once --folder "$tree" --log "$E2E_DIR/alarm.log" --alert-above 9B
[ "$STATUS" = 3 ] || fail "--alert-above 9B exited with $STATUS: $(cat "$err")"
[ "$(wc -l <"$err")" = 1 ] && grep -q "^zemra: alert: '$tree' is 10 B (10 B), above 9 B$" "$err" ||
    fail "--alert-above gave: $(cat "$err")"
grep -q $'^FOLDER = '"$tree"$'\r$' "$E2E_DIR/alarm.log" || fail "the alarm's run wrote no log"
once --folder "$tree" --log "$E2E_DIR/alarm.log" --alert-above 1KB --alert-growth 10/7
[ "$STATUS" = 0 ] && [ ! -s "$err" ] || fail "no alarm was due: $STATUS, $(cat "$err")"
printf '12345678901' >"$tree/c.bin"
once --folder "$tree" --log "$E2E_DIR/alarm.log" --alert-growth 10/7
[ "$STATUS" = 3 ] || fail "--alert-growth 10/7 exited with $STATUS: $(cat "$err")"
grep -q "^zemra: alert: '$tree' grew by 110% in 0 days" "$err" || fail "--alert-growth gave: $(cat "$err")"
once --folder "$tree" --log "$E2E_DIR/alarm.log" --alert-growth 10/7 --no-history
[ "$STATUS" = 3 ] || fail "--no-history took the growth alarm's history away"
[ "$(records)" = 10 ] || fail "--no-history added a record: $(records) of 10"
echo "the alarms exit 3 with one line; --no-history adds nothing"

# A history that cannot be written: one line, and the run succeeds.
cp "$db" "$E2E_DIR/history.keep"
rm -f "$db-wal" "$db-shm"
head -c 8192 /dev/urandom >"$db"
once --folder "$tree" --log "$E2E_DIR/corrupt.log"
[ "$STATUS" = 0 ] || fail "a corrupt history failed the run: $STATUS, $(cat "$err")"
[ "$(wc -l <"$err")" = 1 ] && grep -q "^zemra: Cannot add the run to the size history $db: " "$err" ||
    fail "a corrupt history gave: $(cat "$err")"
grep -q $'^FOLDER = ' "$E2E_DIR/corrupt.log" || fail "the run with a corrupt history wrote no log"
cp "$E2E_DIR/history.keep" "$db"
echo "a corrupt history gives one line and fails nothing"

# An unattended launch without a window adds its record too.
write_settings AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1 USE_FOLDER_TICKBOX=1 \
    "FF_LOCATION_TEXTBOX=$tree" "LOGFILE_TEXTBOX=$E2E_DIR/headless.log"
once --headless
[ "$STATUS" = 0 ] && [ ! -s "$err" ] || fail "--headless: $STATUS, $(cat "$err")"
[ "$(records)" = 11 ] || fail "--headless added no record: $(records) of 11"
echo "a --headless launch added its record"

# The alarm examples: the README and the man page show them as docs/examples/ holds them,
# the systemd unit is valid, and the crontab line runs as cron runs it (only the installed
# program's path replaced by the binary under test).
project=$(cd "$(dirname "$0")/../.." && pwd)
man_page=$(MANWIDTH=200 man -l "$project/resources/zemra.1" 2>/dev/null)
for example in crontab-alarm zemra-alarm.conf zemra-alarm.service; do
    while IFS= read -r line; do
        case $line in '' | '#'*) continue ;; esac
        grep -qxF "$line" "$project/README.md" || fail "the README does not show $example's: $line"
        grep -qF "$line" <<<"$man_page" || fail "the man page does not show $example's: $line"
    done <"$project/docs/examples/$example"
done
if command -v systemd-analyze >/dev/null; then
    (cd "$project/docs/examples" && systemd-analyze verify zemra-alarm.service) >"$err" 2>&1 ||
        fail "systemd-analyze verify zemra-alarm.service: $(cat "$err")"
fi
home=$E2E_DIR/home
mkdir -p "$home"
printf '1234567' >"$home/a.txt"
cron_line=$(grep -v '^#' "$project/docs/examples/crontab-alarm")
command=$(sed -E 's/^([^ ]+ +){5}//' <<<"$cron_line")
for expected in 0 3; do
    env -i PATH=/usr/bin:/bin HOME="$home" LOGNAME=nobody SHELL=/bin/sh \
        /bin/sh -c "${command//\/usr\/bin\/zemra/$ZEMRA}" >"$out" 2>"$err"
    STATUS=$?
    [ "$STATUS" = "$expected" ] || fail "the alarm's crontab line exited $STATUS: $(cat "$err")"
    [ ! -s "$out" ] || fail "the alarm's crontab line printed on stdout: $(cat "$out")"
    printf '12345678901' >"$home/b.txt" # grows by far more than 10% for the next night
done
[ "$(wc -l <"$err")" = 1 ] && grep -q "^zemra: alert: '$home' grew by " "$err" ||
    fail "the alarm's crontab line gave: $(cat "$err")"
echo "the alarm examples are shown as written, and the crontab line alarms"

# The History window: Ctrl+H, the records, its position kept.
write_settings USE_FOLDER_TICKBOX=1 "FF_LOCATION_TEXTBOX=$tree" "LOGFILE_TEXTBOX=$E2E_DIR/w.log"
"$ZEMRA" 2>"$err" &
pid=$!
main=$(wait_for_window "ZEMRA - zemra") || fail "no main window"
history=
for _ in 1 2 3 4 5; do
    activate "$main" || continue
    xdotool key --window "$main" ctrl+h
    history=$(wait_for_window "ZEMRA - HISTORY" 3) && break
done
[ -n "$history" ] || fail "Ctrl+H opened no History window"
xdotool windowmove "$history" 300 200
sleep 0.5
# A window that a modal window blocks takes no close request: the History window goes first.
for _ in 1 2 3 4 5; do
    wmctrl -i -c "$history" 2>/dev/null
    sleep 0.5
    [ -z "$(xdotool search --onlyvisible --name '^ZEMRA - HISTORY$' 2>/dev/null)" ] && break
done
close_and_wait "$main" "$pid" || fail "the main window did not close"
[ "$EXIT_STATUS" = 0 ] || fail "closing with the History window open exited $EXIT_STATUS: $(cat "$err")"
ini_has HISTORY-Left && ini_has HISTORY-Top || fail "the History window's position is not kept"
ini_has HISTORY-Width && fail "the History window's size was written"
echo "Ctrl+H opened the History window, whose position is kept"

echo "PASSED: the size history, its CSV, the alarms and the History window"
