#!/usr/bin/env bash
# Configures and builds everything (program, tests, benchmarks) into ./build with Ninja.
# ZEMRA_WERROR=ON in the environment makes compiler warnings errors (scripts/test.sh sets it
# for CI runs).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZEMRA_WERROR="${ZEMRA_WERROR:-OFF}"
cmake --build build -j "$(nproc)"
