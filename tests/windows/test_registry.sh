#!/usr/bin/env bash
# The settings in the current user's registry, HKEY_CURRENT_USER\Software\ZEMRA\<exe name>:
# a window launch that is closed writes its entries there as text values; values typed by
# hand with `reg add` (a tick as a DWORD, a path with a comma and single backslashes, a value
# of the user's own, another program's section) drive an unattended launch of a copy under
# another name, and are all still there, unchanged, afterwards.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

# A window launch, closed through the window manager, writes the main window's entries.
wine "$ZEMRA" 2>>"$E2E_DIR/stderr" &
pid=$!
window=$(wait_for_window "ZEMRA - zemra" 60) || fail "no window titled 'ZEMRA - zemra'"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 354 ] && [ "$HEIGHT" = 256 ] || fail "client size ${WIDTH}x${HEIGHT}, expected 354x256"
close_and_wait "$window" "$pid" || fail "the program did not end after its window was closed"
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS"
for entry in MAIN-Left=1000 MAIN-Top=1000 AlwaysOnTopTimer_TICKBOX=1 AUTOSTART_TICKBOX=0 \
    AUTOCLOSE_TICKBOX=0 USE_FILE_TICKBOX=0 USE_FOLDER_TICKBOX=0 FF_LOCATION_TEXTBOX= \
    LOGFILE_TEXTBOX=; do
    key=${entry%%=*}
    expected="REG_SZ ${entry#*=}"
    [ "$(reg_value "$key" | sed 's/ *$//')" = "${expected% }" ] ||
        fail "$key is '$(reg_value "$key")', expected '$expected'"
done
[ -z "$(reg_value MAIN-Width)" ] || fail "MAIN-Width was written"

# Values typed by hand drive a copy under another name, and stay as they were typed.
nightly=$(dirname "$ZEMRA")/nightly.exe
cp "$ZEMRA" "$nightly"
trap 'rm -f "$nightly"' EXIT
target="$E2E_DIR/data, 2024.bin"
log=$E2E_DIR/nightly.log
truncate -s 1234567890 "$target"
key='HKCU\Software\ZEMRA\nightly'
add() {
    wine reg add "$key" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1 || fail "reg add $1 failed"
}
reg_clear
add AUTOSTART_TICKBOX REG_SZ 1
add AUTOCLOSE_TICKBOX REG_DWORD 1
add USE_FILE_TICKBOX REG_DWORD 1
add USE_FOLDER_TICKBOX REG_SZ 0
add AlwaysOnTopTimer_TICKBOX REG_SZ 0
add FF_LOCATION_TEXTBOX REG_SZ "$(win_path "$target")"
add LOGFILE_TEXTBOX REG_SZ "$(win_path "$log")"
add MAIN-Left REG_SZ 1500
add MAIN-Top REG_SZ 1500
add MAIN-Width REG_SZ 9000
add OWNER REG_SZ "operations team"
wine reg add 'HKCU\Software\ZEMRA\other-tool' /v FF_LOCATION_TEXTBOX /d 'C:\elsewhere' /f \
    >/dev/null 2>&1 || fail "reg add for another section failed"
reg_export "$REGISTRY_KEY" >"$E2E_DIR/before.reg" || fail "reg export failed"

wine "$nightly" 2>"$E2E_DIR/stderr" &
pid=$!
wait_for_exit "$pid" 60 || { kill "$pid"; fail "the unattended launch did not close within 60 s"; }
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS: $(cat "$E2E_DIR/stderr")"
grep -q $'^EXE File = nightly\r$' "$log" || fail "the run log does not name the copy: $(cat -A "$log")"
grep -qF "FILE = $(win_path "$target")"$'\r' "$log" ||
    fail "the run log does not name the target: $(cat -A "$log")"
grep -qF "1,234,567,890 B" "$log" || fail "the run log does not hold the size: $(cat "$log")"

reg_export "$REGISTRY_KEY" >"$E2E_DIR/after.reg" || fail "reg export failed"
diff "$E2E_DIR/before.reg" "$E2E_DIR/after.reg" || fail "the hand-typed registry values changed"
[ -z "$(reg_value FF_LOCATION_TEXTBOX)" ] || fail "the copy wrote into the section of zemra"

echo "PASSED: entries written under $SECTION_KEY; hand-typed values drove a run and were kept"
