#!/usr/bin/env bash
# Scheduled runs without a display: --headless runs the unattended launch on the offscreen
# platform; without --headless a launch that finds no display runs the same way when
# AutoStart and AutoClose are ticked. Otherwise, and whenever the settings cannot be read,
# a launch without a window exits 2 at once with a message (never aborts, never waits). A
# good run prints nothing, also in cron's bare environment; a failed one prints its reason.
# The unattended launches take 23 s each (countdown, run, autoclose), so they run side by
# side, each with a settings folder and a log file of its own.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
export LC_ALL=C

target=$E2E_DIR/sparse.bin
truncate -s 1234567890 "$target"
empty_runtime=$E2E_DIR/runtime
mkdir -p "$empty_runtime"
expected_run_log FILE "$target" "1,234,567,890 B  " "1,234,567.89 KB" "1,234.568 MB" \
    "1.235 GB" "0.001235 TB" "0.000001235 PB" >"$E2E_DIR/expected.log"

declare -A pids

# launch NAME DISPLAY_MODE [ARGUMENTS...]: starts zemra in the background in scenario NAME's
# own folder, whose settings write_scenario_settings made. DISPLAY_MODE: "none" as cron on a
# machine without a graphical session, "dead" with a DISPLAY no server answers, "x" with the
# test's X server.
launch() {
    local name=$1 mode=$2
    shift 2
    local dir=$E2E_DIR/$name
    local environment=(XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$empty_runtime")
    case $mode in
    none) environment=(-u DISPLAY -u WAYLAND_DISPLAY "${environment[@]}") ;;
    cron) environment=(-i PATH=/usr/bin:/bin HOME="$dir/home" XDG_CONFIG_HOME="$dir/config") ;;
    dead) environment=(-u WAYLAND_DISPLAY DISPLAY=:97 "${environment[@]}") ;;
    x) ;;
    esac
    env "${environment[@]}" "$ZEMRA" "$@" 2>"$dir/err" &
    pids[$name]=$!
}

# write_scenario_settings NAME TARGET [KEY=VALUE...]: the settings file of scenario NAME,
# its log file going to the scenario's folder.
write_scenario_settings() {
    local name=$1 path=$2
    shift 2
    local dir=$E2E_DIR/$name
    mkdir -p "$dir/config/ZEMRA"
    {
        echo "[zemra]"
        printf '%s\n' "USE_FILE_TICKBOX=1" "FF_LOCATION_TEXTBOX=$path" "LOGFILE_TEXTBOX=$dir/run.log" "$@"
    } >"$dir/config/ZEMRA/ZEMRA.ini"
}

# finish NAME SECONDS: waits for scenario NAME's process; sets EXIT_STATUS.
finish() {
    wait_for_exit "${pids[$1]}" "$2" || {
        kill "${pids[$1]}"
        fail "$1: zemra did not end within $2 s"
    }
}

check_good_log() {
    local log=$E2E_DIR/$1/run.log
    [ "$(grep -c $'\r$' "$log")" = 18 ] || fail "$1: the log does not have 18 lines: $(cat -A "$log")"
    cmp "$log" "$E2E_DIR/expected.log" || {
        diff <(cat -A "$log") <(cat -A "$E2E_DIR/expected.log")
        fail "$1: the log file differs from the expected run log"
    }
}

unattended=(AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1)
write_scenario_settings headless "$target" "${unattended[@]}"
write_scenario_settings headless-failing "$E2E_DIR/missing.bin" "${unattended[@]}"
write_scenario_settings no-display "$target" "${unattended[@]}"
write_scenario_settings dead-display "$target" "${unattended[@]}"
write_scenario_settings headless-on-x "$target" "${unattended[@]}"
write_scenario_settings cron "$target" "${unattended[@]}"
write_scenario_settings headless-idle "$target"
start=$SECONDS
launch headless none --headless
launch cron cron --headless
launch headless-failing none --headless
launch no-display none
launch dead-display dead
launch headless-on-x x --headless

# --headless where a display is there: no window is shown at any time.
for _ in $(seq 1 150); do
    kill -0 "${pids[headless-on-x]}" 2>/dev/null || break
    if xdotool search --name 'ZEMRA' >/dev/null 2>&1; then
        fail "--headless showed a window on the display"
    fi
    sleep 0.2
done

# --headless without a display: the exact run log, status 0, settings written at the end.
finish headless 40
[ "$EXIT_STATUS" = 0 ] || fail "--headless good run: exit status $EXIT_STATUS: $(cat "$E2E_DIR/headless/err")"
check_good_log headless
grep -q '^MAIN-Left=' "$E2E_DIR/headless/config/ZEMRA/ZEMRA.ini" ||
    fail "--headless did not write the settings at its end"
echo "--headless good run closed by itself after $((SECONDS - start)) s"

# The same under cron's bare environment (no XDG_RUNTIME_DIR, no DISPLAY): nothing at all
# on stdout or stderr, so that cron mails only real errors.
finish cron 10
[ "$EXIT_STATUS" = 0 ] || fail "cron: exit status $EXIT_STATUS: $(cat "$E2E_DIR/cron/err")"
check_good_log cron
[ ! -s "$E2E_DIR/cron/err" ] || fail "cron: a good run printed: $(cat "$E2E_DIR/cron/err")"

# A target that does not exist: status 1 and the error report.
finish headless-failing 10
[ "$EXIT_STATUS" = 1 ] || fail "--headless failed run: exit status $EXIT_STATUS, expected 1"
log=$E2E_DIR/headless-failing/run.log
[ "$(grep -c $'\r$' "$log")" = 13 ] || fail "the error report does not have 13 lines: $(cat -A "$log")"
grep -q "^FILE = $E2E_DIR/missing.bin"$'\r$' "$log" || fail "the error report does not name the target"
grep -q '^ERROR = .*missing.bin' "$log" || fail "the error report has no reason: $(cat "$log")"
# ... and the same reason in one line on stderr, where a scheduler's log shows it.
err=$E2E_DIR/headless-failing/err
[ "$(grep -c '^zemra: run failed: .*missing.bin' "$err")" = 1 ] ||
    fail "the failed run's reason is not one line on stderr: $(cat "$err")"

# No --headless and no display, both ticks: the same run, announced in one line on stderr.
for name in no-display dead-display; do
    finish "$name" 10
    [ "$EXIT_STATUS" = 0 ] || fail "$name: exit status $EXIT_STATUS: $(cat "$E2E_DIR/$name/err")"
    check_good_log "$name"
    grep -q '^zemra: no display reachable; AutoStart and AutoClose are ticked' "$E2E_DIR/$name/err" ||
        fail "$name: no notice on stderr: $(cat "$E2E_DIR/$name/err")"
done

# --headless with nothing to do ends at once with status 2 and one line: without both ticks,
# on first use (no settings at all), and with settings that cannot be read (they are not
# taken for defaults). Each must end within 5 s.
mkdir -p "$E2E_DIR/unreadable/config/ZEMRA"
mkfifo "$E2E_DIR/unreadable/config/ZEMRA/ZEMRA.ini"
mkdir -p "$E2E_DIR/first-use/config"
for name in headless-idle first-use unreadable; do
    launch "$name" none --headless
    finish "$name" 5
    err=$E2E_DIR/$name/err
    [ "$EXIT_STATUS" = 2 ] || fail "$name: exit status $EXIT_STATUS, expected 2: $(cat "$err")"
    [ ! -e "$E2E_DIR/$name/run.log" ] || fail "$name: a run happened"
    case $name in
    unreadable)
        grep -q "^zemra: settings not read: .*ZEMRA.ini: it is not a regular file" "$err" ||
            fail "$name: the unreadable file is not named: $(cat "$err")"
        grep -q '^zemra: the settings cannot be read' "$err" || fail "$name: $(cat "$err")"
        [ -p "$E2E_DIR/unreadable/config/ZEMRA/ZEMRA.ini" ] || fail "$name: the file was replaced" ;;
    *)
        [ "$(wc -l <"$err")" = 1 ] || fail "$name: not one line on stderr: $(cat "$err")"
        grep -q '^zemra: AutoStart and AutoClose are not both ticked' "$err" ||
            fail "$name: $(cat "$err")" ;;
    esac
done

finish headless-on-x 10
[ "$EXIT_STATUS" = 0 ] || fail "--headless with a display: exit status $EXIT_STATUS"
check_good_log headless-on-x

# Without both ticks and without a display: status 2 and one line, never an abort (134),
# whichever platform Qt was asked for.
for settings in "" AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1 "AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=2"; do
    # shellcheck disable=SC2086
    write_scenario_settings refused "$target" $settings
    for arguments in "" "-platform xcb" "-platform wayland" "-platform wayland;xcb"; do
        # shellcheck disable=SC2086
        launch refused none $arguments
        finish refused 10
        what="settings '$settings', arguments '$arguments'"
        [ "$EXIT_STATUS" = 2 ] || fail "$what: exit status $EXIT_STATUS, expected 2"
        err=$E2E_DIR/refused/err
        [ "$(wc -l <"$err")" = 1 ] || fail "$what: not one line on stderr: $(cat "$err")"
        grep -q '^zemra: no display reachable (neither X11 nor Wayland)' "$err" ||
            fail "$what: message: $(cat "$err")"
        [ ! -e "$E2E_DIR/refused/run.log" ] || fail "$what: a run happened"
    done
done

echo "PASSED: --headless and display-less unattended runs (exact log, status 0 and 1), status 2 otherwise"
