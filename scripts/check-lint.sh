#!/usr/bin/env bash
# The code's own checks: the folders of src/ depend one way (scripts/check-folders.sh), and
# clang-tidy finds nothing in src/ with the root .clang-tidy (bugprone, performance and a
# modernize subset). Exits 1 on any finding.
#
# clang-tidy spends most of its time matching its checks against the Qt and library headers
# each file includes, again for every file. So it reads each library target of src/ as one
# unity source (CMake's unity build, in build-lint/), which includes every file of the target
# once: the headers are matched once per target, and a finding still names the file and
# line it is in. Files that CMake keeps out of the unity source (those with compile
# definitions of their own) are checked alone.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/check-folders.sh

command -v clang-tidy >/dev/null || {
    echo "FAILED: clang-tidy is not installed (scripts/install-deps.sh)"
    exit 1
}
start=$SECONDS
# The forms' and moc's generated headers are all that is built; the unity sources need them.
cmake -S . -B build-lint -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
    -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=0 \
    -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON >/dev/null
cmake --build build-lint --target zemra_core_autogen zemra_autogen zemra_doubles_autogen \
    >/dev/null

# The unity sources of the targets built from src/ (the program, its library and the test
# doubles), and the src/ files compiled on their own.
mapfile -t sources < <(python3 - <<'EOF'
import json, os, re
root = os.getcwd() + "/src/"
unity = re.compile(r"/CMakeFiles/(zemra|zemra_core|zemra_portable_size|zemra_doubles)\.dir/Unity/")
for entry in json.load(open("build-lint/compile_commands.json")):
    name = entry["file"]
    if unity.search(name) or name.startswith(root):
        print(name)
EOF
)
[ ${#sources[@]} -gt 0 ] || {
    echo "FAILED: no source of src/ in build-lint/compile_commands.json"
    exit 1
}

out=$(mktemp)
trap 'rm -f "$out"' EXIT
# The unity sources include .cpp files by design; the configuration is named, since
# clang-tidy would look for it beside the unity sources in build-lint/.
printf '%s\0' "${sources[@]}" |
    xargs -0 -n 1 -P "$(nproc)" clang-tidy -p build-lint --quiet \
        --config-file="$PWD/.clang-tidy" --checks=-bugprone-suspicious-include >"$out" 2>&1 ||
    true
findings=$(grep -E '(warning|error): ' "$out" | sed 's/\x1b\[[0-9;]*m//g' | sort -u || true)
if [ -n "$findings" ]; then
    echo "FAILED: clang-tidy:"
    echo "$findings"
    exit 1
fi
echo "clang-tidy: no findings in src/ (${#sources[@]} sources, $((SECONDS - start)) s)"
