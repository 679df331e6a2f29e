#!/usr/bin/env bash
# The scheduling examples run as written, in the environment their scheduler gives them:
# the crontab line and the systemd user service measure with the one-shot command line,
# and the settings file example drives an unattended --headless launch. The README and the
# man page show the examples exactly as docs/examples/ and docs/systemd/ hold them.
# Only the installed program's path is replaced by the binary under test.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

project=$(cd "$(dirname "$0")/../.." && pwd)
crontab=$project/docs/examples/crontab
example_ini=$project/docs/examples/ZEMRA.ini
service=$project/docs/systemd/zemra.service
man_page=$(MANWIDTH=200 man -l "$project/resources/zemra.1" 2>/dev/null)

cron_line=$(grep -v '^#' "$crontab")
[ "$(wc -l <<<"$cron_line")" = 1 ] || fail "docs/examples/crontab holds more than one line"
grep -qxF "$cron_line" "$project/README.md" || fail "the README does not show: $cron_line"
grep -qF "$cron_line" <<<"$man_page" || fail "the man page does not show: $cron_line"
while IFS= read -r line; do
    grep -qxF "$line" "$project/README.md" || fail "the README's settings example lacks: $line"
    grep -qF "$line" <<<"$man_page" || fail "the man page's settings example lacks: $line"
done <"$example_ini"

# A home as cron and systemd give it: a folder with some files, no settings, no display.
home=$E2E_DIR/home
mkdir -p "$home/docs"
printf '1234567' >"$home/docs/a.txt"
printf '123' >"$home/b.txt"
scheduled() {
    env -i PATH=/usr/bin:/bin HOME="$home" LOGNAME=nobody SHELL=/bin/sh "$@" \
        >"$E2E_DIR/out" 2>"$E2E_DIR/err"
}
check_quiet_good_run() {
    local what=$1 status=$2 log=$3 target=$4
    [ "$status" = 0 ] || fail "$what: exit status $status: $(cat "$E2E_DIR/err")"
    [ ! -s "$E2E_DIR/out" ] && [ ! -s "$E2E_DIR/err" ] ||
        fail "$what: a good run printed: $(cat "$E2E_DIR/out" "$E2E_DIR/err")"
    [ "$(grep -c $'\r$' "$log")" = 18 ] || fail "$what: not an 18-line run log: $(cat -A "$log")"
    grep -qxF "FOLDER = $target"$'\r' "$log" || fail "$what: the log names no folder"
}

# The crontab line: cron runs the command part with /bin/sh.
command=$(sed -E 's/^([^ ]+ +){5}//' <<<"$cron_line")
scheduled /bin/sh -c "${command//\/usr\/bin\/zemra/$ZEMRA}"
check_quiet_good_run "the crontab line" $? "$home/zemra-size.log" "$home"
grep -qx $'10 B  \r' "$home/zemra-size.log" || fail "the crontab line measured wrongly"
[ ! -e "$home/.config" ] || fail "the one-shot run touched the settings folder"
echo "the crontab line measured the home folder"

# The systemd user service: valid units, and ExecStart as systemd runs it (%h: the home).
if command -v systemd-analyze >/dev/null; then
    mkdir -p "$E2E_DIR/units"
    sed "s#/usr/bin/zemra#$ZEMRA#" "$service" >"$E2E_DIR/units/zemra.service"
    cp "$project/docs/systemd/zemra.timer" "$E2E_DIR/units/"
    (cd "$E2E_DIR/units" && systemd-analyze verify zemra.service zemra.timer) >"$E2E_DIR/verify" 2>&1 ||
        fail "systemd-analyze verify: $(cat "$E2E_DIR/verify")"
fi
rm -f "$home/zemra-size.log"
exec_start=$(sed -n 's/^ExecStart=//p' "$service")
exec_start=${exec_start//%h/$home}
# shellcheck disable=SC2086 # systemd splits ExecStart at blanks; the home has none here
scheduled ${exec_start//\/usr\/bin\/zemra/$ZEMRA}
check_quiet_good_run "the systemd service" $? "$home/zemra-size.log" "$home"
echo "the systemd user service measured the home folder"

# The settings example for --headless, its two paths pointing into this test's folder.
target="$E2E_DIR/reports, 2024"
mkdir -p "$target" "$home/.config/ZEMRA"
printf 'abc' >"$target/c.txt"
sed -e "s#^FF_LOCATION_TEXTBOX = .*#FF_LOCATION_TEXTBOX = $target#" \
    -e "s#^LOGFILE_TEXTBOX = .*#LOGFILE_TEXTBOX = $E2E_DIR/nightly.log#" \
    "$example_ini" >"$home/.config/ZEMRA/ZEMRA.ini"
scheduled timeout 60 "$ZEMRA" --headless
check_quiet_good_run "the settings example" $? "$E2E_DIR/nightly.log" "$target"
echo "the settings example ran unattended"

echo "PASSED: the scheduling examples run as written and print nothing"
