#!/usr/bin/env bash
# Runs the size benchmark: checks size_bench against the generated trees' expected totals,
# then times it side by side with du, gdu and ncdu, warm (hyperfine) and cold (the page
# cache dropped before every run), and reports size_bench's peak resident size and how
# its time grows with the file count.
#
# usage: bench/run-bench.sh BUILD_DIR [TREES_DIR]   (TREES_DIR defaults to /tmp/zemra-bench;
# it is generated with size_tree_gen when missing). Installs what it needs that is missing
# (hyperfine, GNU time, gdu, ncdu, bc, squashfuse, squashfs-tools, bindfs) through
# scripts/install-deps.sh --bench.
# Environment: MODE=all|warm|cold|fuse (default all), ROUNDS=N cold rounds (default 3),
# FUSE_ROUNDS=N rounds of the FUSE section (default 5).
# The cold runs drop the page cache (sync; echo 3 > /proc/sys/vm/drop_caches) and the FUSE
# section mounts filesystems; both need root: without it they are skipped, and the script
# says so.
set -euo pipefail

build=${1:?usage: run-bench.sh BUILD_DIR [TREES_DIR]}
trees=${2:-/tmp/zemra-bench}
mode=${MODE:-all}
rounds=${ROUNDS:-3}
fuse_rounds=${FUSE_ROUNDS:-5}
bench="$build/bench/size_bench"
bare="$build/bench/size_bare_walk"
results="$trees/results"
cores=$(nproc)

"$(dirname "$0")/../scripts/install-deps.sh" --bench
[ -d "$trees" ] || "$build/bench/size_tree_gen" "$trees"
mkdir -p "$results"

echo "== machine: $cores cores; load: $(uptime)"

echo "== totals against the generator's expectations"
while read -r name bytes _files; do
    for threads in "" "--threads 1" "--threads 2" "--threads 64"; do
        # shellcheck disable=SC2086 # $threads is empty or two words on purpose
        got=$("$bench" --folder "$trees/$name" $threads 2>/dev/null)
        if [ "$got" != "$bytes" ]; then
            echo "MISMATCH $name ${threads:-default}: size_bench says $got, expected $bytes" >&2
            exit 1
        fi
    done
    echo "$name: $got bytes, as expected (default, 1, 2 and 64 threads)"
done <"$trees/expected.txt"

warm() { # label path runs
    local label=$1 path=$2 runs=$3
    echo "== warm: $label ($path)"
    hyperfine -N --warmup 2 --runs "$runs" --export-markdown "$results/warm-$label.md" \
        -n size_bench "$bench --folder $path" \
        -n "size_bench --threads $cores" "$bench --folder $path --threads $cores" \
        -n "size_bare_walk (2 threads)" "$bare $path 2" \
        -n "du -sb" "du -sb $path" \
        -n "gdu -n -s -a" "gdu -n -s -a $path" \
        -n "ncdu -0 -o /dev/null" "ncdu -0 -o /dev/null $path"
}

# One cold run of a command: drops the page cache, runs it, prints the elapsed seconds and
# the processor time spent in the kernel, separated by a tab.
cold_run() {
    sync
    echo 3 >/proc/sys/vm/drop_caches
    /usr/bin/time -f '%e	%S' -o "$results/.time" "$@" >/dev/null 2>&1
    cat "$results/.time"
}

# One run of a command with the page cache as it is.
warm_run() {
    /usr/bin/time -f '%e	%S' -o "$results/.time" "$@" >/dev/null 2>&1
    cat "$results/.time"
}

# One run on a FUSE mount, after its kernel caches have expired (squashfuse and bindfs keep
# names and attributes for 1 s): otherwise a run that follows another within the second
# finds everything cached and the order of the commands decides the table.
fuse_run() {
    sleep 1.5
    warm_run "$@"
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

cold() { # label path
    local label=$1 path=$2
    names=("size_bench" "size_bench --threads 2" "size_bench --threads 16"
        "size_bench --threads 64" "du -sb" "gdu -n -s -a" "ncdu -0 -o /dev/null")
    commands=("$bench --folder $path" "$bench --folder $path --threads 2"
        "$bench --folder $path --threads 16" "$bench --folder $path --threads 64"
        "du -sb $path" "gdu -n -s -a $path" "ncdu -0 -o /dev/null $path")
    echo "== cold: $label ($path), $rounds rounds, commands interleaved"
    interleaved "$label, cold" "cold-$label" "$rounds" cold_run
}

# Runs the commands of the global arrays names/commands `rounds` times, one of each per
# round in an order shuffled anew each round, each through `runner` (cold_run or
# warm_run), and writes the table of medians. usage: interleaved CAPTION FILE ROUNDS RUNNER
interleaved() {
    local caption=$1 label=$2 rounds=$3 runner=$4
    local times="$results/$label.times"
    : >"$times"
    local -a order
    for ((round = 1; round <= rounds; round++)); do
        # Each round runs the commands in another order (shuffled, seeded by the round), so
        # that no command always runs right after the same other one: what a command leaves
        # behind in memory can speed up or slow down the next one.
        RANDOM=$round
        order=("${!commands[@]}")
        for ((k = ${#order[@]} - 1; k > 0; k--)); do
            j=$((RANDOM % (k + 1)))
            t=${order[k]} order[k]=${order[j]} order[j]=$t
        done
        for i in "${order[@]}"; do
            # shellcheck disable=SC2086 # the command line is split into words on purpose
            measured=$("$runner" ${commands[$i]})
            printf '%s\t%s\n' "$i" "$measured" >>"$times"
            printf '  round %d  %-26s %7.2f s  (system %.2f s)\n' "$round" "${names[$i]}" \
                "${measured%%$'\t'*}" "${measured##*$'\t'}"
        done
    done
    {
        echo "| $caption (median of $rounds) | time | × fastest | system time |"
        echo "|:---|---:|---:|---:|"
        local fastest=""
        declare -A med=() sys=()
        for i in "${!commands[@]}"; do
            med[$i]=$(awk -F'\t' -v i="$i" '$1 == i {print $2}' "$times" | median)
            sys[$i]=$(awk -F'\t' -v i="$i" '$1 == i {print $3}' "$times" | median)
            if [ -z "$fastest" ] || [ "$(echo "${med[$i]} < $fastest" | bc)" = 1 ]; then
                fastest=${med[$i]}
            fi
        done
        for i in "${!commands[@]}"; do
            ratio=$(echo "if ($fastest > 0) ${med[$i]} / $fastest else 0" | bc -l)
            printf '| %s | %.2f s | %.2f× | %.2f s |\n' "${names[$i]}" "${med[$i]}" "$ratio" \
                "${sys[$i]}"
        done
    } | tee "$results/$label.md"
}

# squashfuse and bindfs mounts of the same tree: tree-100k packed by mksquashfs (which
# leaves out the files whose paths exceed PATH_MAX, as bindfs could not pass them on either)
# and that image unpacked again for bindfs. The default against one and two walkers and du.
fuse_section() {
    local image="$trees/tree-100k.squashfs" unpacked="$trees/tree-fuse"
    if [ ! -f "$image" ]; then
        mksquashfs "$trees/tree-100k" "$image" -noappend -quiet -no-progress >/dev/null 2>&1 ||
            true # the paths beyond PATH_MAX are reported and left out
        rm -rf "$unpacked"
    fi
    [ -d "$unpacked" ] || unsquashfs -q -d "$unpacked" "$image" >/dev/null
    fuse_mounts=("$trees/mnt-squashfuse" "$trees/mnt-bindfs")
    mkdir -p "${fuse_mounts[@]}"
    trap 'for m in "${fuse_mounts[@]}"; do umount "$m" 2>/dev/null || umount -l "$m"; done' EXIT
    squashfuse "$image" "$trees/mnt-squashfuse"
    bindfs "$unpacked" "$trees/mnt-bindfs"
    local mount got expected
    for mount in "${fuse_mounts[@]}"; do
        # The sum of the regular files' sizes (the tree has no hard links); du -sb would
        # add the folders' own sizes.
        got=$("$bench" --folder "$mount" 2>/dev/null)
        expected=$(find "$mount" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f", s }')
        if [ "$got" != "$expected" ]; then
            echo "MISMATCH $mount: size_bench says $got, find adds up $expected" >&2
            exit 1
        fi
        echo "$mount: $got bytes in $(find "$mount" -type f | wc -l) files, as find adds up"
        names=("size_bench" "size_bench --threads 1" "size_bench --threads 2" "du -sb")
        commands=("$bench --folder $mount" "$bench --folder $mount --threads 1"
            "$bench --folder $mount --threads 2" "du -sb $mount")
        echo "== FUSE: ${mount##*mnt-}, $fuse_rounds rounds, commands interleaved"
        interleaved "${mount##*mnt-}" "fuse-${mount##*mnt-}" "$fuse_rounds" fuse_run
    done
}

if [ "$mode" = all ] || [ "$mode" = warm ]; then
    warm tree-1m "$trees/tree-1m" 5
    warm usr /usr 10
    warm chain "$trees/chain" 20

    echo "== growth with the file count"
    hyperfine -N --warmup 2 --runs 10 --export-markdown "$results/growth.md" \
        -n 100k "$bench --folder $trees/tree-100k" \
        -n 1m "$bench --folder $trees/tree-1m"

    echo "== peak resident size of size_bench (KiB)"
    for path in "$trees/tree-1m" /usr "$trees/chain"; do
        for threads in "" "--threads 64"; do
            # shellcheck disable=SC2086 # $threads is empty or two words on purpose
            /usr/bin/time -f "$path ${threads:-default}: %M KiB" "$bench" --folder "$path" \
                $threads >/dev/null
        done
    done
fi

if [ "$mode" = all ] || [ "$mode" = cold ]; then
    if [ "$(id -u)" -ne 0 ] || [ ! -w /proc/sys/vm/drop_caches ]; then
        echo "== cold: SKIPPED. Dropping the page cache needs root (or a writable" \
            "/proc/sys/vm/drop_caches); run this script as root for the cold tables."
    else
        cold tree-1m "$trees/tree-1m"
        cold usr /usr
        echo "== peak resident size of size_bench, cold (KiB)"
        sync
        echo 3 >/proc/sys/vm/drop_caches
        /usr/bin/time -f "$trees/tree-1m default, cold: %M KiB" "$bench" --folder \
            "$trees/tree-1m" >/dev/null
    fi
    echo "== load after the cold runs: $(uptime)"
fi

if [ "$mode" = all ] || [ "$mode" = fuse ]; then
    if [ "$(id -u)" -ne 0 ] || [ ! -c /dev/fuse ]; then
        echo "== FUSE: SKIPPED. Mounting needs root and /dev/fuse."
    else
        fuse_section
        echo "== load after the FUSE runs: $(uptime)"
    fi
fi
