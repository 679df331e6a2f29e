#!/usr/bin/env bash
# An unattended launch of zemra.exe (AutoStart and AutoClose ticked in the registry), with no
# platform named on the command line: it opens its window, measures, writes the exact run log
# with CR LF line ends, closes by itself and exits 0; a target that does not exist gives the
# error report and exit status 1; a log file that cannot be written is reported on standard
# error.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

target=$E2E_DIR/sparse.bin
log=$E2E_DIR/run.log
truncate -s 1234567890 "$target"

write_registry AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1 USE_FILE_TICKBOX=1 \
    "FF_LOCATION_TEXTBOX=$(win_path "$target")" "LOGFILE_TEXTBOX=$(win_path "$log")"
start=$SECONDS
wine "$ZEMRA" 2>"$E2E_DIR/stderr" &
pid=$!
wait_for_window "ZEMRA - zemra" 60 >/dev/null || fail "no window titled 'ZEMRA - zemra'"
wait_for_exit "$pid" 60 || { kill "$pid"; fail "the unattended launch did not close within 60 s"; }
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after a good run: $(cat "$E2E_DIR/stderr")"
echo "good run closed by itself after $((SECONDS - start)) s"

expected_run_log FILE "$(win_path "$target")" "1,234,567,890 B  " "1,234,567.89 KB" \
    "1,234.568 MB" "1.235 GB" "0.001235 TB" "0.000001235 PB" >"$E2E_DIR/expected.log"
[ "$(wc -l <"$E2E_DIR/expected.log")" = 18 ] || fail "the expected log does not have 18 lines"
cmp "$log" "$E2E_DIR/expected.log" || {
    diff <(cat -A "$log") <(cat -A "$E2E_DIR/expected.log")
    fail "the log file differs from the expected run log"
}
[ "$(reg_value MAIN-Left)" = "REG_SZ 1000" ] && [ "$(reg_value MAIN-Top)" = "REG_SZ 1000" ] ||
    fail "the window position was not saved: '$(reg_value MAIN-Left)' '$(reg_value MAIN-Top)'"

write_registry AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1 USE_FILE_TICKBOX=1 \
    "FF_LOCATION_TEXTBOX=$(win_path "$E2E_DIR/missing.bin")" "LOGFILE_TEXTBOX=$(win_path "$log")"
wine "$ZEMRA" 2>"$E2E_DIR/stderr" &
pid=$!
wait_for_exit "$pid" 60 || { kill "$pid"; fail "the failing launch did not close within 60 s"; }
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS after a failed run, expected 1"
[ "$(grep -c $'\r$' "$log")" = 13 ] || fail "the error report does not have 13 lines: $(cat -A "$log")"
grep -qF "FILE = $(win_path "$E2E_DIR/missing.bin")"$'\r' "$log" ||
    fail "the error report does not name the target: $(cat -A "$log")"
grep -q '^ERROR = .*missing.bin' "$log" || fail "the error report has no reason: $(cat "$log")"

# --headless, with a log file that cannot be written: the reason on standard error, one line
# and nothing else (Qt's own complaints included), and status 1.
write_registry AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1 USE_FILE_TICKBOX=1 \
    "FF_LOCATION_TEXTBOX=$(win_path "$target")" "LOGFILE_TEXTBOX=$(win_path "$E2E_DIR/none/run.log")"
timeout 60 wine "$ZEMRA" --headless >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr"
status=$?
[ "$status" = 1 ] || fail "--headless with an unwritable log file exited with $status, expected 1"
tr -d '\r' <"$E2E_DIR/stderr" >"$E2E_DIR/stderr.text"
[ "$(wc -l <"$E2E_DIR/stderr.text")" = 1 ] &&
    grep -qF "zemra: run failed: Cannot write the log file \"$(win_path "$E2E_DIR/none/run.log")\"" \
        "$E2E_DIR/stderr.text" ||
    fail "standard error of --headless: $(cat -A "$E2E_DIR/stderr")"

echo "PASSED: unattended good run (status 0, exact 18-line log), failed run (status 1)," \
    "headless run whose log file was not written (status 1, the reason on stderr)"
