#!/usr/bin/env bash
# Runs the tests of the Windows build (scripts/build-windows.sh) under Wine, on an X server
# of their own (Xvfb with openbox), in a Wine prefix made for the run and removed after it:
# the unit tests, the command-line answers, always on top through the Win32 calls, the
# settings in the registry, an unattended launch and its run log, the one-shot command line,
# and the installer. Takes a few minutes. Non-interactive; installs what it needs first.
# usage: scripts/test-windows.sh [TEST_NAME...]   (e.g. test_unit; all when none is given)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-windows
app=$build/zemra-win64
if [ ! -f "$app/zemra.exe" ] || [ ! -f "$build/zemra-win64-tests/zemra_tests.exe" ]; then
    echo "test-windows.sh: no Windows build in $build; run scripts/build-windows.sh first" >&2
    exit 1
fi
scripts/install-deps.sh --windows

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
export ZEMRA_PROJECT_VERSION=$version
export ZEMRA_INSTALLER=$build/zemra-$version-win64.exe
export ZEMRA_TESTS=$build/zemra-win64-tests
export ZEMRA_WINDOWS_TESTS="$*"
bash tests/e2e/run-under-x.sh tests/windows/run-all.sh "$app/zemra.exe"
