#!/usr/bin/env bash
# A settings file written by hand (comments, blank lines, CR LF, spaces around "=", a path
# with a comma, unknown keys, another program's section) drives an unattended launch through
# a symbolic link: the run succeeds under the link's name. During the countdown an
# administrator switches AutoStart off by hand (to stop the schedule) and adds a comment;
# afterwards the file holds every line exactly as the administrator left it.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

target="$E2E_DIR/data, 2024.bin"
log=$E2E_DIR/nightly.log
truncate -s 1234567890 "$target"
ln -s "$ZEMRA" "$E2E_DIR/nightly"

mkdir -p "$(dirname "$INI")"
printf '%s\r\n' \
    "# Zemra settings - scheduled nightly, do not remove" \
    "; edited by hand" \
    "" \
    "[nightly]" \
    "# measured every night at 02:00" \
    "AUTOSTART_TICKBOX = 1" \
    "AUTOCLOSE_TICKBOX = 1" \
    "USE_FILE_TICKBOX=1" \
    "USE_FOLDER_TICKBOX=0" \
    "AlwaysOnTopTimer_TICKBOX=0" \
    "FF_LOCATION_TEXTBOX = $target" \
    "LOGFILE_TEXTBOX=$log" \
    "MAIN-Left=1500" \
    "MAIN-Top=1500" \
    "MAIN-Width=9000" \
    "OWNER=operations team" \
    "" \
    "[other-tool]" \
    "FF_LOCATION_TEXTBOX=/elsewhere" >"$INI"
cp "$INI" "$E2E_DIR/before.ini"

"$E2E_DIR/nightly" 2>"$E2E_DIR/stderr.txt" &
pid=$!
sleep 3
sed -i -e 's/^AUTOSTART_TICKBOX = 1/AUTOSTART_TICKBOX = 0/' \
    -e 's/^OWNER=operations team/# stopped by hand during the countdown\r\n&/' "$INI"
grep -q '^AUTOSTART_TICKBOX = 0' "$INI" || fail "the hand edit did not take"
cp "$INI" "$E2E_DIR/before.ini"
wait_for_exit "$pid" 30 || { kill "$pid"; fail "the unattended launch did not close within 30 s"; }
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after a good run: $(cat "$E2E_DIR/stderr.txt")"
! grep -q "settings not saved" "$E2E_DIR/stderr.txt" ||
    fail "settings writes failed: $(cat "$E2E_DIR/stderr.txt")"

grep -q $'^EXE File = nightly\r$' "$log" || fail "the run log does not name the link: $(cat -A "$log")"
grep -qF "FILE = $target" "$log" || fail "the run log does not name the target: $(cat "$log")"
grep -qF "1,234,567,890 B" "$log" || fail "the run log does not hold the size: $(cat "$log")"

cmp "$INI" "$E2E_DIR/before.ini" || {
    diff <(cat -A "$E2E_DIR/before.ini") <(cat -A "$INI")
    fail "the settings file lost the hand edit made while the program ran"
}
[ ! -e "$(dirname "$INI")/ZEMRA.ini.lock" ] || fail "a lock file was left behind"

echo "PASSED: hand-edited settings drove an unattended run under the link's name and were" \
    "kept, with the edit made during the countdown"
