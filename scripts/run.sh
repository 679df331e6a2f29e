#!/usr/bin/env bash
# Installs what is missing, builds the program alone (not the tests or benchmarks), and
# launches Zemra-Gauge with the arguments given.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target zemra
exec build/src/zemra "$@"
