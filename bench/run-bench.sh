#!/usr/bin/env bash
# Runs the size benchmark: checks size_bench against the generated trees' expected totals,
# then times it side by side with du, gdu and ncdu, warm (hyperfine) and cold (the page
# cache dropped before every run), and reports size_bench's peak resident size and how
# its time grows with the file count.
#
# usage: bench/run-bench.sh BUILD_DIR [TREES_DIR]   (TREES_DIR defaults to /tmp/zemra-bench;
# it is generated with size_tree_gen when missing). Installs what it needs that is missing
# (hyperfine, GNU time, gdu, ncdu, bc, squashfuse, squashfs-tools, bindfs, openssh-server,
# sshfs) through scripts/install-deps.sh --bench.
# Environment: MODE=all|warm|cold|fuse|network (default all), ROUNDS=N cold rounds (default
# 5), FUSE_ROUNDS=N rounds of the FUSE and network sections (default 5),
# BASELINES="NAME=PATH ..." other size_bench builds (an earlier commit's, say) whose default
# runs beside this one's in the cold, FUSE and network tables, TOOLS="du gdu ncdu" the other
# tools of the cold tables (default all three).
# The cold runs drop the page cache (sync; echo 3 > /proc/sys/vm/drop_caches) and the FUSE
# and network sections mount filesystems; both need root: without it they are skipped, and
# the script says so. The network section starts an sshd of its own on 127.0.0.1:2222
# (loopback only, keys made for the run) and mounts the wide tree through sshfs.
set -euo pipefail

build=${1:?usage: run-bench.sh BUILD_DIR [TREES_DIR]}
trees=${2:-/tmp/zemra-bench}
mode=${MODE:-all}
rounds=${ROUNDS:-5}
fuse_rounds=${FUSE_ROUNDS:-5}
read -r -a baselines <<<"${BASELINES:-}"
tools=${TOOLS:-du gdu ncdu}
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

# One run on a FUSE or network mount, 1.5 s after the one before: the mounts keep the
# kernel's default timeouts (names and attributes for 1 s) and sshfs is mounted without
# its own directory cache, so by then nothing of the last run is cached and every run asks
# the daemon for every entry, as a run that comes once a night would; otherwise a run that
# follows another within the second finds everything cached and the order of the commands
# decides the table. The page cache is not dropped (file contents are never read).
fuse_run() {
    sleep 1.5
    warm_run "$@"
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# Adds the default of every BASELINES build on path $1 to the global arrays names/commands.
add_baselines() {
    local entry
    for entry in "${baselines[@]}"; do
        names+=("size_bench at ${entry%%=*}")
        commands+=("${entry#*=} --folder $1")
    done
}

cold() { # label path
    local label=$1 path=$2
    names=("size_bench" "size_bench --threads 2" "size_bench --threads 16"
        "size_bench --threads 64")
    commands=("$bench --folder $path" "$bench --folder $path --threads 2"
        "$bench --folder $path --threads 16" "$bench --folder $path --threads 64")
    add_baselines "$path"
    case " $tools " in *" du "*) names+=("du -sb") commands+=("du -sb $path") ;; esac
    case " $tools " in *" gdu "*) names+=("gdu -n -s -a") commands+=("gdu -n -s -a $path") ;; esac
    case " $tools " in
    *" ncdu "*) names+=("ncdu -0 -o /dev/null") commands+=("ncdu -0 -o /dev/null $path") ;;
    esac
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

# wide/: 30,000 files in 1,200 folders of 25 (file sizes from 0 to 9,999 bytes, sparse),
# a shape where a FUSE daemon that answers one request at a time shows it: many small
# folders side by side. Written once, with its total beside it.
make_wide() {
    local wide="$trees/wide"
    [ -f "$wide.total" ] && return 0
    rm -rf "$wide"
    python3 -c '
import os, sys
root = sys.argv[1]
total = 0
for folder in range(1200):
    path = os.path.join(root, "%04d" % folder)
    os.makedirs(path)
    for file in range(25):
        size = (folder * 25 + file) * 7919 % 10000
        with open(os.path.join(path, "f%02d" % file), "wb") as f:
            f.truncate(size)
        total += size
with open(root + ".total", "w") as f:
    f.write("%d\n" % total)
' "$wide"
}

# Checks size_bench's total on mount $1 against the sum `find` makes of the files there (the
# trees have no hard links; du -sb would add the folders' own sizes).
check_total() {
    local mount=$1 got expected
    got=$("$bench" --folder "$mount" 2>/dev/null)
    expected=$(find "$mount" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f", s }')
    if [ "$got" != "$expected" ]; then
        echo "MISMATCH $mount: size_bench says $got, find adds up $expected" >&2
        exit 1
    fi
    echo "$mount: $got bytes in $(find "$mount" -type f | wc -l) files, as find adds up"
}

# The default against fixed counts and du on mount $1, named $2, interleaved. $3...: the
# fixed counts.
mount_table() {
    local mount=$1 label=$2 threads
    shift 2
    names=("size_bench")
    commands=("$bench --folder $mount")
    for threads in "$@"; do
        names+=("size_bench --threads $threads")
        commands+=("$bench --folder $mount --threads $threads")
    done
    add_baselines "$mount"
    names+=("du -sb")
    commands+=("du -sb $mount")
    echo "== $label ($mount), $fuse_rounds rounds, commands interleaved," \
        "each 1.5 s after the last (the kernel's caches of the mount expired)"
    interleaved "$label" "fuse-$label" "$fuse_rounds" fuse_run
}

mounts=()
unmount_all() {
    local m
    for m in "${mounts[@]}"; do
        umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
    done
    if [ -f "$trees/sshd/sshd.pid" ]; then
        kill "$(cat "$trees/sshd/sshd.pid")" 2>/dev/null || true
        rm -f "$trees/sshd/sshd.pid"
    fi
}
trap unmount_all EXIT

# squashfuse and bindfs mounts: tree-100k packed by mksquashfs (which leaves out the files
# whose paths exceed PATH_MAX, as bindfs could not pass them on either), that image
# unpacked again for bindfs, and the wide tree packed. The default against one and two
# walkers and du.
fuse_section() {
    local image="$trees/tree-100k.squashfs" unpacked="$trees/tree-fuse" m
    if [ ! -f "$image" ]; then
        mksquashfs "$trees/tree-100k" "$image" -noappend -quiet -no-progress >/dev/null 2>&1 ||
            true # the paths beyond PATH_MAX are reported and left out
        rm -rf "$unpacked"
    fi
    [ -d "$unpacked" ] || unsquashfs -q -d "$unpacked" "$image" >/dev/null
    make_wide
    [ -f "$trees/wide.squashfs" ] ||
        mksquashfs "$trees/wide" "$trees/wide.squashfs" -noappend -quiet -no-progress >/dev/null
    for m in squashfuse-wide squashfuse bindfs; do
        mkdir -p "$trees/mnt-$m"
        mounts+=("$trees/mnt-$m")
    done
    squashfuse "$trees/wide.squashfs" "$trees/mnt-squashfuse-wide"
    squashfuse "$image" "$trees/mnt-squashfuse"
    bindfs "$unpacked" "$trees/mnt-bindfs"
    for m in squashfuse-wide squashfuse bindfs; do
        check_total "$trees/mnt-$m"
        mount_table "$trees/mnt-$m" "$m" 1 2
    done
}

# sshfs to an sshd of this run's own on 127.0.0.1:2222 (loopback only; a host key and a
# client key made for the run, root's login by that key alone), mounting the wide tree.
network_section() {
    local dir="$trees/sshd" mount="$trees/mnt-sshfs"
    make_wide
    mkdir -p "$dir" "$mount" /run/sshd
    [ -f "$dir/host_key" ] || ssh-keygen -q -t ed25519 -N '' -f "$dir/host_key"
    [ -f "$dir/client_key" ] || ssh-keygen -q -t ed25519 -N '' -f "$dir/client_key"
    cp "$dir/client_key.pub" "$dir/authorized_keys"
    printf '%s\n' "ListenAddress 127.0.0.1" "Port 2222" "HostKey $dir/host_key" \
        "AuthorizedKeysFile $dir/authorized_keys" "PidFile $dir/sshd.pid" \
        "PermitRootLogin prohibit-password" "PasswordAuthentication no" \
        "KbdInteractiveAuthentication no" "UsePAM no" "StrictModes no" \
        "Subsystem sftp internal-sftp" >"$dir/sshd_config"
    mounts+=("$mount")
    /usr/sbin/sshd -f "$dir/sshd_config"
    sleep 0.5
    # dir_cache=no: sshfs's own cache of names and attributes (20 s), which would answer a
    # second run without a round trip.
    sshfs -o "dir_cache=no,IdentityFile=$dir/client_key,port=2222" \
        -o StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,BatchMode=yes \
        "root@127.0.0.1:$trees/wide" "$mount"
    check_total "$mount"
    mount_table "$mount" sshfs-wide 1 4 16 32
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

if [ "$mode" = all ] || [ "$mode" = fuse ] || [ "$mode" = network ]; then
    if [ "$(id -u)" -ne 0 ] || [ ! -c /dev/fuse ]; then
        echo "== FUSE and network: SKIPPED. Mounting needs root and /dev/fuse."
    else
        [ "$mode" = network ] || fuse_section
        [ "$mode" = fuse ] || network_section
        echo "== load after the FUSE and network runs: $(uptime)"
    fi
fi
