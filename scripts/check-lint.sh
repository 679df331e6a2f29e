#!/usr/bin/env bash
# The code's own checks: the folders of src/ depend one way (scripts/check-folders.sh), and
# clang-tidy finds nothing in src/ with the root .clang-tidy (bugprone, performance and a
# modernize subset). Needs build/compile_commands.json (scripts/build.sh writes it).
# Exits 1 on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/check-folders.sh

[ -f build/compile_commands.json ] || {
    echo "FAILED: no build/compile_commands.json; run scripts/build.sh first"
    exit 1
}
command -v run-clang-tidy >/dev/null || {
    echo "FAILED: clang-tidy is not installed (scripts/install-deps.sh)"
    exit 1
}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
start=$SECONDS
# Every translation unit of src/ that this platform builds; headers are checked through them.
run-clang-tidy -p build -quiet -j "$(nproc)" "$PWD/src/" >"$out" 2>&1 || true
findings=$(grep -E '(warning|error): ' "$out" | sed 's/\x1b\[[0-9;]*m//g' | sort -u || true)
if [ -n "$findings" ]; then
    echo "FAILED: clang-tidy:"
    echo "$findings"
    exit 1
fi
echo "clang-tidy: no findings in src/ ($((SECONDS - start)) s)"
