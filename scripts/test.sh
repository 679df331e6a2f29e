#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests on the offscreen
# platform, the real-window tests under their own Xvfb, the compile check of the
# Windows-only sources, the unit tests again in sanitizer builds (build-asan, build-tsan),
# and the code's own checks (scripts/check-lint.sh: one-way folders, clang-tidy).
# When Qt for Windows is in its cache folder (scripts/build-windows.sh built it once), also
# builds the Windows program and runs its tests under Wine (scripts/test-windows.sh);
# otherwise says that it skipped them. Arguments go to ctest. In CI (CI=true) compiler
# warnings fail the build.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${CI:-}" = true ]; then
    export ZEMRA_WERROR=ON
fi
scripts/install-deps.sh
scripts/build.sh
scripts/check-win32.sh

# The sanitizer builds compile while the real-window tests mostly wait for their countdowns,
# at the lowest priority so that the tests get a core whenever they need one. Their output
# follows ctest's.
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
nice -n 19 scripts/test-sanitizers.sh >"$logs/sanitizers.log" 2>&1 &
sanitizers=$!
nice -n 19 scripts/check-lint.sh >"$logs/lint.log" 2>&1 &
lint=$!

status=0
(cd build && ctest --output-on-failure -j "$(nproc)" "$@") >"$logs/ctest.log" 2>&1 || status=$?
sanitizer_status=0
wait "$sanitizers" || sanitizer_status=$?
lint_status=0
wait "$lint" || lint_status=$?

# The Windows build only where its Qt is cached: building that Qt takes about 40 minutes.
windows_status=0
if qt_windows=$(scripts/build-windows.sh --cached); then
    { scripts/build-windows.sh && scripts/test-windows.sh; } >"$logs/windows.log" 2>&1 ||
        windows_status=$?
else
    echo "SKIPPED: the Windows build and its tests under Wine (no Qt for Windows in" \
        "$qt_windows; scripts/build-windows.sh builds it once, in about 40 minutes)" \
        >"$logs/windows.log"
fi

cat "$logs/sanitizers.log"
[ "$sanitizer_status" -eq 0 ] || echo "FAILED: the sanitizer builds (status $sanitizer_status)"
cat "$logs/lint.log"
[ "$lint_status" -eq 0 ] || echo "FAILED: the code checks (status $lint_status)"
cat "$logs/windows.log"
[ "$windows_status" -eq 0 ] || echo "FAILED: the Windows build or its tests (status $windows_status)"
# ctest's report comes last, so that its summary closes the output.
cat "$logs/ctest.log"
[ "$status" -eq 0 ] && [ "$sanitizer_status" -eq 0 ] && [ "$lint_status" -eq 0 ] &&
    [ "$windows_status" -eq 0 ]
