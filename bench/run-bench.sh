#!/usr/bin/env bash
# Runs the size benchmark: checks size_bench against the generated trees' expected totals,
# then times it side by side with du, gdu and ncdu (hyperfine, warm cache), and reports
# size_bench's peak resident size and how its time grows with the file count.
#
# usage: bench/run-bench.sh BUILD_DIR [TREES_DIR]   (TREES_DIR defaults to /tmp/zemra-bench;
# it is generated with size_tree_gen when missing). Needs hyperfine, gdu, ncdu and GNU time.
set -euo pipefail

build=${1:?usage: run-bench.sh BUILD_DIR [TREES_DIR]}
trees=${2:-/tmp/zemra-bench}
bench="$build/bench/size_bench"
results="$trees/results"

[ -d "$trees" ] || "$build/bench/size_tree_gen" "$trees"
mkdir -p "$results"

echo "== totals against the generator's expectations"
while read -r name bytes _files; do
    got=$("$bench" --folder "$trees/$name" 2>/dev/null)
    if [ "$got" != "$bytes" ]; then
        echo "MISMATCH $name: size_bench says $got, expected $bytes" >&2
        exit 1
    fi
    echo "$name: $got bytes, as expected"
done <"$trees/expected.txt"

compare() { # label path runs
    local label=$1 path=$2 runs=$3
    echo "== $label ($path)"
    hyperfine -N --warmup 2 --runs "$runs" --export-markdown "$results/$label.md" \
        -n size_bench "$bench --folder $path" \
        -n "du -sb" "du -sb $path" \
        -n "gdu -n -s -a" "gdu -n -s -a $path" \
        -n "ncdu -0 -o /dev/null" "ncdu -0 -o /dev/null $path"
}
compare tree-1m "$trees/tree-1m" 5
compare usr /usr 10
compare chain "$trees/chain" 20

echo "== growth with the file count"
hyperfine -N --warmup 2 --runs 10 --export-markdown "$results/growth.md" \
    -n 100k "$bench --folder $trees/tree-100k" \
    -n 1m "$bench --folder $trees/tree-1m"

echo "== peak resident size of size_bench (KiB)"
for path in "$trees/tree-1m" /usr "$trees/chain"; do
    /usr/bin/time -f "$path: %M KiB" "$bench" --folder "$path" >/dev/null
done
