#!/usr/bin/env bash
# Unattended launches: AutoStart and AutoClose measure, write the log and close by themselves,
# with exit status 0 after a good run and 1 after a failed one.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

target=$E2E_DIR/sparse.bin
log=$E2E_DIR/run.log
truncate -s 1234567890 "$target"

write_settings AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1 USE_FILE_TICKBOX=1 \
    "FF_LOCATION_TEXTBOX=$target" "LOGFILE_TEXTBOX=$log"
start=$SECONDS
"$ZEMRA" &
pid=$!
wait_for_exit "$pid" 30 || { kill "$pid"; fail "the unattended launch did not close within 30 s"; }
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after a good run"
echo "good run closed by itself after $((SECONDS - start)) s"

expected_run_log FILE "$target" "1,234,567,890 B  " "1,234,567.89 KB" "1,234.568 MB" \
    "1.235 GB" "0.001235 TB" "0.000001235 PB" >"$E2E_DIR/expected.log"
cmp "$log" "$E2E_DIR/expected.log" || {
    diff <(cat -A "$log") <(cat -A "$E2E_DIR/expected.log")
    fail "the log file differs from the expected run log"
}
ini_has MAIN-Left && ini_has MAIN-Top || fail "the window position was not saved"

# The same with a target that does not exist: a truthful error report and status 1.
write_settings AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1 USE_FILE_TICKBOX=1 \
    "FF_LOCATION_TEXTBOX=$E2E_DIR/missing.bin" "LOGFILE_TEXTBOX=$log"
"$ZEMRA" &
pid=$!
wait_for_exit "$pid" 30 || { kill "$pid"; fail "the failing launch did not close within 30 s"; }
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS after a failed run, expected 1"
[ "$(grep -c $'\r$' "$log")" = 13 ] || fail "the error report does not have 13 lines: $(cat -A "$log")"
grep -q "^FILE = $E2E_DIR/missing.bin"$'\r$' "$log" || fail "the error report does not name the target"
grep -q '^ERROR = .*missing.bin' "$log" || fail "the error report has no reason: $(cat "$log")"

echo "PASSED: unattended good run (status 0, exact log) and failed run (status 1, error report)"
