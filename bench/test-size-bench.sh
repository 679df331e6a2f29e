#!/usr/bin/env bash
# Checks size_bench's output contract on a small generated tree: with stderr not a terminal,
# stdout is the byte count alone and stderr one line of timing, for the default engine and
# fixed walker counts; failures and bad arguments give the documented exit statuses and
# nothing on stdout. usage: test-size-bench.sh SIZE_BENCH
set -euo pipefail

bench=${1:?usage: test-size-bench.sh SIZE_BENCH}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

expected=0
for folder in a a/b a/b/c d; do
    mkdir -p "$tree/$folder"
    for size in 1 20 300; do
        truncate -s "$size" "$tree/$folder/f$size"
        expected=$((expected + size))
    done
done

for threads in "" "--threads 1" "--threads 2" "--threads 64"; do
    # shellcheck disable=SC2086 # $threads is empty or two words on purpose
    "$bench" --folder "$tree" $threads >"$tree.out" 2>"$tree.err" || fail "exit $? (${threads:-default})"
    [ "$(cat "$tree.out")" = "$expected" ] || fail "stdout '$(cat "$tree.out")', expected $expected"
    if [ "$(wc -l <"$tree.err")" != 1 ] || ! grep -q '^elapsed .* s, peak RSS .* MiB$' "$tree.err"; then
        fail "stderr is not one timing line: $(cat -A "$tree.err")"
    fi
done

"$bench" --file "$tree/a/f300" >"$tree.out" 2>/dev/null || fail "--file exit $?"
[ "$(cat "$tree.out")" = 300 ] || fail "--file stdout '$(cat "$tree.out")'"

status=0
"$bench" --folder "$tree/missing" >"$tree.out" 2>"$tree.err" || status=$?
[ "$status" = 1 ] || fail "missing folder: exit $status, expected 1"
[ ! -s "$tree.out" ] || fail "missing folder: stdout '$(cat "$tree.out")'"
grep -q "$tree/missing" "$tree.err" || fail "missing folder: reason '$(cat "$tree.err")'"

for args in "" "--folder" "--threads 2" "--folder $tree --threads 0" "--folder $tree --threads x" \
    "--folder $tree --threads 3x" "--bogus"; do
    status=0
    # shellcheck disable=SC2086 # the arguments are split into words on purpose
    "$bench" $args >"$tree.out" 2>/dev/null || status=$?
    [ "$status" = 2 ] || fail "arguments '$args': exit $status, expected 2"
    [ ! -s "$tree.out" ] || fail "arguments '$args': stdout '$(cat "$tree.out")'"
done
rm -f "$tree.out" "$tree.err"
exit "$failed"
