#!/usr/bin/env bash
# A run by hand: type a folder and a log file path, tick FOLDER-Size, click Run Now; about
# three seconds later the log file holds the folder's run log.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

folder=$E2E_DIR/tree
mkdir -p "$folder/a/b" "$folder/c"
head -c 1500 /dev/zero >"$folder/one"
head -c 2500000 /dev/zero >"$folder/a/two"
head -c 7 /dev/zero >"$folder/a/b/three"
ln "$folder/a/two" "$folder/c/hardlink"
log=$E2E_DIR/manual.log

"$ZEMRA" &
pid=$!
window=$(wait_for_window "ZEMRA - zemra") || fail "no main window"
xdotool windowactivate --sync "$window"

click_control "$window" FF_LOCATION_TEXTBOX
xdotool type --delay 5 "$folder"
click_control "$window" LOGFILE_TEXTBOX
xdotool type --delay 5 "$log"
click_control "$window" USE_FOLDER_TICKBOX
click_control "$window" RUN_NOW_BUTTON
clicked=$SECONDS

for _ in $(seq 1 100); do
    [ -s "$log" ] && break
    sleep 0.1
done
[ -s "$log" ] || fail "no log file 10 s after Run Now"
echo "log file written $((SECONDS - clicked)) s after the click"

expected_run_log FOLDER "$folder" "2,501,507 B  " "2,501.507 KB" "2.502 MB" "0.003 GB" \
    "0.000003 TB" "0.000000003 PB" >"$E2E_DIR/expected.log"
cmp "$log" "$E2E_DIR/expected.log" || {
    diff <(cat -A "$log") <(cat -A "$E2E_DIR/expected.log")
    fail "the log file differs from the expected run log"
}
close_and_wait "$window" "$pid" || fail "the program did not end"
[ "$(ini_value USE_FOLDER_TICKBOX)" = 1 ] || fail "FOLDER-Size was not saved as ticked"
[ "$(ini_value FF_LOCATION_TEXTBOX)" = "$folder" ] || fail "the target path was not saved"

echo "PASSED: manual folder run wrote the exact run log"
