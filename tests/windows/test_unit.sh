#!/usr/bin/env bash
# The unit tests of the Windows build (zemra_tests.exe: every unit test that does not need
# Linux, and the tests of the Windows-only code) under Wine: on Qt's offscreen platform, and
# the tests of the windows' fonts and looks on the windows platform, whose fonts they need
# (Qt's offscreen platform on Windows has none).
set -uo pipefail
source "$(dirname "$0")/lib.sh"

# Tests of what Linux alone has: the INI file in the XDG config folder as the user's store
# (on Windows it is the registry), and Qt's X11 platform plugin.
linux_only='HandEditedSettingsTest.TheUsersStoreIsTheIniFileInTheConfigFolder'
linux_only+=':SettingsFileTest.DefaultFileFollowsXdgConfigHome'
linux_only+=':StartupCheckTest.ADisplayCountsOnlyWithQtsPluginForIt'
looks='WindowLookTest.*'

# Runs zemra_tests.exe with the arguments given; its output goes to $E2E_DIR/unit-$1.log.
run_tests() {
    local name=$1
    shift
    wine "$ZEMRA_TESTS/zemra_tests.exe" "$@" >"$E2E_DIR/unit-$name.log" 2>&1
    local status=$?
    grep -E '^\[  (FAILED|PASSED)|^\[==========\] [0-9]+ tests? from' "$E2E_DIR/unit-$name.log"
    if [ "$status" != 0 ]; then
        tail -n 100 "$E2E_DIR/unit-$name.log"
        fail "zemra_tests.exe $* exited with status $status"
    fi
    grep -q '^\[  PASSED  \] [1-9]' "$E2E_DIR/unit-$name.log" ||
        fail "zemra_tests.exe $*: no test passed"
}

# The tests choose the offscreen platform themselves (Wine does not pass QT_* variables on).
run_tests offscreen --gtest_brief=1 "--gtest_filter=-$linux_only:$looks"
run_tests windows -platform windows:fontengine=directwrite --gtest_brief=1 "--gtest_filter=$looks"
echo "PASSED: the unit tests under Wine"
