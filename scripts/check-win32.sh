#!/usr/bin/env bash
# Compiles the Windows-only sources that use no Qt with the MinGW cross compiler, so that a
# change that breaks the Windows build shows up here too.
set -euo pipefail
cd "$(dirname "$0")/.."
shopt -s nullglob
sources=(src/platform/win32/*.cpp)
if [ ${#sources[@]} -eq 0 ]; then
    exit 0
fi
compiler=x86_64-w64-mingw32-g++-posix
command -v "$compiler" >/dev/null || compiler=x86_64-w64-mingw32-g++
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for source in "${sources[@]}"; do
    # Files that need Qt, themselves or through a header of the project they include, are
    # compiled by the Windows build proper (scripts/build-windows.sh).
    headers=$(sed -n 's/^#include "\(.*\)"$/src\/\1/p' "$source")
    # shellcheck disable=SC2086 # one path per word
    if grep -q '#include <Q' "$source" $headers; then
        continue
    fi
    "$compiler" -std=c++20 -Wall -Wextra -Werror -Isrc -c "$source" -o "$out/$(basename "$source").o"
    echo "win32 compile check passed: $source"
done
