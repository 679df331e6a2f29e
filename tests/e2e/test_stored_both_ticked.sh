#!/usr/bin/env bash
# Unattended launches with stored settings that only a hand-edited file can hold: both target
# kinds ticked measures the file target and exits 0; a log path naming the target or the
# settings file leaves that file untouched and exits 1.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

target=$E2E_DIR/both.bin
log=$E2E_DIR/run.log
truncate -s 1234567890 "$target"

run_unattended USE_FILE_TICKBOX=1 USE_FOLDER_TICKBOX=1 "FF_LOCATION_TEXTBOX=$target" \
    "LOGFILE_TEXTBOX=$log"
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS with both kinds stored ticked"
expected_run_log FILE "$target" "1,234,567,890 B  " "1,234,567.89 KB" "1,234.568 MB" \
    "1.235 GB" "0.001235 TB" "0.000001235 PB" >"$E2E_DIR/expected.log"
cmp "$log" "$E2E_DIR/expected.log" || {
    diff <(cat -A "$log") <(cat -A "$E2E_DIR/expected.log")
    fail "the log file differs from the file run's log"
}
# The launch changed neither tick, so the file keeps what the user wrote.
[ "$(ini_value USE_FILE_TICKBOX)" = 1 ] || fail "FILE-Size was not kept: $(cat "$INI")"
[ "$(ini_value USE_FOLDER_TICKBOX)" = 1 ] || fail "FOLDER-Size was not kept: $(cat "$INI")"
echo "both ticked: the file was measured, exit status 0"

# The log path is the target itself, through a symbolic link.
printf 'precious\0bytes' >"$E2E_DIR/precious.bin"
cp "$E2E_DIR/precious.bin" "$E2E_DIR/precious.copy"
ln -s "$E2E_DIR/precious.bin" "$E2E_DIR/link.log"
run_unattended USE_FILE_TICKBOX=1 "FF_LOCATION_TEXTBOX=$E2E_DIR/precious.bin" \
    "LOGFILE_TEXTBOX=$E2E_DIR/link.log"
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS with the log naming the target"
cmp "$E2E_DIR/precious.bin" "$E2E_DIR/precious.copy" || fail "the target was changed"
echo "log = target: the target is untouched, exit status 1"

# The log path is the settings file: after the run it must still be settings, not a log.
run_unattended USE_FILE_TICKBOX=1 "FF_LOCATION_TEXTBOX=$target" "LOGFILE_TEXTBOX=$INI"
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS with the log naming the settings file"
grep -q '^\[zemra\]' "$INI" || fail "the settings file was replaced: $(head -c 300 "$INI")"
if grep -q 'QUENLOW' "$INI"; then fail "the run log went into the settings file"; fi
[ "$(ini_value LOGFILE_TEXTBOX)" = "$INI" ] || fail "the settings lost their entries"
echo "log = settings file: the settings are intact, exit status 1"

echo "PASSED: both kinds stored ticked measure the file; the target and settings are never the log"
