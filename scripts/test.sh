#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests on the offscreen
# platform, the real-window tests under their own Xvfb, and the compile check of the
# Windows-only sources.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
scripts/check-win32.sh
cd build
ctest --output-on-failure -j "$(nproc)" "$@"
