#!/usr/bin/env bash
# Unattended launches whose stored target or log path holds a NUL or an unpaired UTF-16
# surrogate (in the escaped form the program itself writes, as a damaged file can hold them):
# each is a clear failure with exit status 1, never a crash, and never reaches another file.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

printf 'abc' >"$E2E_DIR/t.bin"
printf 'other' >"$E2E_DIR/other.bin"
log=$E2E_DIR/run.log

# Runs one unattended launch of a file run with the given target and log entries, written
# verbatim; sets EXIT_STATUS.
unattended() {
    rm -f "$log"
    run_unattended USE_FILE_TICKBOX=1 "FF_LOCATION_TEXTBOX=$1" "LOGFILE_TEXTBOX=$2"
    [ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS, expected 1"
}

# NUL in the target: not cut to t.bin (3 B), and no raw NUL in the error report.
unattended "@String($E2E_DIR/t.bin\\0/../other.bin)" "$log"
grep -q "^FILE = $E2E_DIR/t.bin<NUL>/../other.bin"$'\r$' "$log" ||
    fail "the error report does not name the target: $(cat -A "$log")"
grep -q '^ERROR = .*NUL character' "$log" || fail "no reason in the report: $(cat -A "$log")"
if grep -q 'B  ' "$log"; then fail "a size was reported: $(cat -A "$log")"; fi
[ "$(tr -cd '\000' <"$log" | wc -c)" = 0 ] || fail "the log holds a raw NUL byte"
echo "NUL in the target: failure reported, exit status 1"

# An unpaired surrogate in the target.
unattended "$E2E_DIR/t\\xd800-x.bin" "$log"
grep -q '^ERROR = .*unpaired UTF-16 surrogate U+D800' "$log" ||
    fail "no reason in the report: $(cat -A "$log")"
echo "lone surrogate in the target: failure reported, exit status 1"

# NUL in the log path: run.log (the part before the NUL) must not be written.
unattended "$E2E_DIR/t.bin" "@String($log\\0-x)"
[ ! -e "$log" ] || fail "the log was written to the path cut at the NUL"
grep -q 'NUL character' "$E2E_DIR/stderr" || fail "no reason on standard error: $(cat "$E2E_DIR/stderr")"
echo "NUL in the log path: nothing written, exit status 1"

# An unpaired surrogate in the log path: no file with a mangled name appears.
unattended "$E2E_DIR/t.bin" "$E2E_DIR/r\\xd800-x.log"
[ "$(find "$E2E_DIR" -maxdepth 1 -name 'r*' | wc -l)" = 0 ] ||
    fail "a log file was written under another name: $(ls "$E2E_DIR")"
echo "lone surrogate in the log path: nothing written, exit status 1"

echo "PASSED: unnameable target and log paths fail clearly with status 1"
