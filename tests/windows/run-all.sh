#!/usr/bin/env bash
# Runs every tests/windows/test_*.sh against the Windows build under Wine, in one X session
# (run-under-x.sh starts it and sets DISPLAY, ZEMRA and E2E_DIR) and one Wine prefix made
# for the run. Prints each test's result and ends with a summary; exits 1 when any failed.
# A test that exits 77 is counted as skipped, with its reason on its last line.
# ZEMRA_WINDOWS_TESTS (a space-separated list of names such as "test_unit") picks tests.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

export WINEPREFIX=$E2E_DIR/wine WINEARCH=win64 WINEDEBUG=-all
# No .NET or HTML engine: Wine would offer to download them.
export WINEDLLOVERRIDES='mscoree,mshtml='
export ZEMRA_TESTS=${ZEMRA_TESTS:?the folder of the unit tests is not set}
cleanup_wine() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}
trap cleanup_wine EXIT

started=$SECONDS
wineboot --init >"$E2E_DIR/wineboot.log" 2>&1 || {
    echo "FAILED: wineboot could not make a Wine prefix (log follows)"
    cat "$E2E_DIR/wineboot.log"
    exit 1
}
wineserver -w
echo "Wine prefix ready in $((SECONDS - started)) s ($(wine --version))"

failed=()
passed=0
skipped=0
for script in "$here"/test_*.sh; do
    name=$(basename "$script" .sh)
    if [ -n "${ZEMRA_WINDOWS_TESTS:-}" ] && [[ " $ZEMRA_WINDOWS_TESTS " != *" $name "* ]]; then
        continue
    fi
    echo "== $name"
    # Each test gets a folder of its own inside the run's, and a registry without settings.
    E2E_DIR=$(mktemp -d -p "$E2E_DIR" "$name.XXXX") bash -c '
        source "$1/lib.sh"
        reg_clear
        exec bash "$2"' _ "$here" "$script"
    status=$?
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
    elif [ "$status" -eq 77 ]; then
        skipped=$((skipped + 1))
    else
        failed+=("$name")
    fi
done
echo "Windows tests under Wine: $passed passed, $skipped skipped, ${#failed[@]} failed${failed:+ (${failed[*]})}"
[ ${#failed[@]} -eq 0 ]
