#!/usr/bin/env bash
# Configures and builds everything (program, tests, benchmarks) into ./build with Ninja.
# ZEMRA_WERROR=ON in the environment makes compiler warnings errors (scripts/test.sh sets it
# for CI runs). Compiles through ccache when it is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
flags=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEMRA_WERROR="${ZEMRA_WERROR:-OFF}")
if command -v ccache >/dev/null; then
    flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths relative to the checkout, and the build folder left out of the key (ccache adds
    # it for -g builds), so that other clones and worktrees share the entries.
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
    # The precompiled headers: ccache takes them only with these sloppinesses.
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
fi
cmake -S . -B build "${flags[@]}"
cmake --build build -j "$(nproc)"
