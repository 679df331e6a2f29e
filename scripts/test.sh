#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests on the offscreen
# platform, the real-window tests under their own Xvfb, the compile check of the
# Windows-only sources, and the unit tests again in sanitizer builds (build-asan, build-tsan).
# Arguments go to ctest. In CI (CI=true) compiler warnings fail the build.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${CI:-}" = true ]; then
    export ZEMRA_WERROR=ON
fi
scripts/install-deps.sh
scripts/build.sh
scripts/check-win32.sh
(cd build && ctest --output-on-failure -j "$(nproc)" "$@")
scripts/test-sanitizers.sh
