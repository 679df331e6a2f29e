#!/usr/bin/env bash
# The one-shot command line, `zemra.exe --folder PATH --log FILE` and `--file PATH --log FILE`,
# with Windows paths: it writes the same run log as a run in the window and exits 0, without
# a window and without touching the settings. `--log -` writes the log to standard output. The
# run adds a record to the size history, which `--history` prints.
# Skipped (status 77) while the build has no such options.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

wine "$ZEMRA" --help >"$E2E_DIR/help" 2>&1
if ! grep -q -- '--folder' "$E2E_DIR/help"; then
    echo "SKIPPED: this build of zemra.exe has no --folder option"
    exit 77
fi

folder=$E2E_DIR/data
mkdir -p "$folder/sub"
head -c 1500000 /dev/zero >"$folder/a.bin"
head -c 234567 /dev/zero >"$folder/sub/b.bin"
log=$E2E_DIR/one-shot.log
reg_clear

timeout 60 wine "$ZEMRA" --folder "$(win_path "$folder")" --log "$(win_path "$log")" \
    >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr"
status=$?
[ "$status" = 0 ] || fail "exit status $status: $(cat "$E2E_DIR/stderr")"
expected_run_log FOLDER "$(win_path "$folder")" "1,734,567 B  " "1,734.567 KB" "1.735 MB" \
    "0.002 GB" "0.000002 TB" "0.000000002 PB" >"$E2E_DIR/expected.log"
cmp "$log" "$E2E_DIR/expected.log" || {
    diff <(cat -A "$log") <(cat -A "$E2E_DIR/expected.log")
    fail "the one-shot log differs from the run log of a window run"
}

timeout 60 wine "$ZEMRA" --file "$(win_path "$folder/a.bin")" --log - \
    >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr"
status=$?
[ "$status" = 0 ] || fail "--log -: exit status $status: $(cat "$E2E_DIR/stderr")"
grep -qF "FILE = $(win_path "$folder/a.bin")"$'\r' "$E2E_DIR/stdout" ||
    fail "--log - did not write the run log to standard output: $(cat -A "$E2E_DIR/stdout")"
[ -z "$(reg_value FF_LOCATION_TEXTBOX)" ] || fail "the one-shot run wrote settings"

# The folder run added its record to the size history (in the Wine prefix's local
# application-data folder), and --history prints it.
timeout 60 wine "$ZEMRA" --history "$(win_path "$folder")" >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr"
status=$?
[ "$status" = 0 ] || fail "--history: exit status $status: $(cat "$E2E_DIR/stderr")"
grep -q $'^time,target,kind,bytes,files,folders,seconds,outcome\r$' "$E2E_DIR/stdout" ||
    fail "--history printed no CSV header: $(cat -A "$E2E_DIR/stdout")"
grep -qF "$(win_path "$folder"),folder,1734567,2,1," "$E2E_DIR/stdout" ||
    fail "--history does not show the folder run: $(cat -A "$E2E_DIR/stdout")"

echo "PASSED: one-shot --folder and --file runs under Wine wrote the run log and the history"
