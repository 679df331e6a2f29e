#!/usr/bin/env bash
# Checks size_bench and the engine behind it on real user-space (FUSE) mounts made with
# bindfs:
#   - Ctrl-C (SIGINT) ends a walk blocked in a mount whose daemon is stopped (SIGSTOP) with
#     exit status 130 within a second, and prints no total;
#   - a file grown behind a mount that keeps its entries cached (entry_timeout=30,
#     attr_timeout=0) is counted at its new size, as stat sees it;
#   - a mount inside the tree that this user may not enter (root's, without allow_other) is
#     named in the failure, not the folder that holds it.
# Needs root, /dev/fuse and bindfs; exits with 77 (skipped) where one is missing.
# usage: test-size-bench-fuse.sh SIZE_BENCH
set -uo pipefail

bench=$(realpath "${1:?usage: test-size-bench-fuse.sh SIZE_BENCH}")
skip() {
    echo "SKIP: $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "needs root to mount and to run as another user"
[ -c /dev/fuse ] || skip "no /dev/fuse"
command -v bindfs >/dev/null || skip "bindfs is not installed (scripts/install-deps.sh)"
id nobody >/dev/null 2>&1 || skip "no user nobody"

work=$(mktemp -d)
chmod 755 "$work"
mounts=()
daemons=()
# A stopped daemon would make anything that touches its mount hang, this cleanup included:
# every daemon is continued before its mount is taken away, lazily, and the daemon killed.
cleanup() {
    for pid in "${daemons[@]}"; do
        kill -CONT "$pid" 2>/dev/null
    done
    for mount in "${mounts[@]}"; do
        timeout 5 umount "$mount" 2>/dev/null || umount -l "$mount" 2>/dev/null
    done
    for pid in "${daemons[@]}"; do
        kill "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# mount_bindfs SOURCE MOUNTPOINT [BINDFS OPTIONS...]: bindfs in the foreground, in the
# background of this script, so that its process id is known; waits for the mount.
daemon=
mount_bindfs() {
    local source=$1 target=$2
    shift 2
    mkdir -p "$target"
    bindfs -f "$@" "$source" "$target" 2>/dev/null &
    daemon=$!
    daemons+=("$daemon")
    mounts+=("$target")
    # A listing through the mount is a full round trip: the daemon has started serving.
    for _ in $(seq 100); do
        mountpoint -q "$target" && timeout 5 ls "$target" >/dev/null && return 0
        sleep 0.05
    done
    fail "bindfs did not mount $target"
    return 1
}

# stop_daemon PID: SIGSTOP, and waits until the daemon is stopped (state T), so that no
# request of the walk reaches it half-way (one it has read but not answered would keep
# even a killed walker waiting).
stop_daemon() {
    kill -STOP "$1"
    for _ in $(seq 100); do
        [ "$(awk '{ print $3 }' "/proc/$1/stat")" = T ] && return 0
        sleep 0.01
    done
    fail "bindfs $1 did not stop"
    return 1
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# --- SIGINT while a walker is blocked in a stopped FUSE daemon
mkdir -p "$work/back1/inner" "$work/tree1/side"
for i in $(seq 20); do
    truncate -s 100 "$work/back1/f$i" "$work/back1/inner/g$i" "$work/tree1/side/h$i"
done
if mount_bindfs "$work/back1" "$work/tree1/mnt" && stop_daemon "$daemon"; then
    "$bench" --folder "$work/tree1" >"$work/out" 2>"$work/err" &
    walk=$!
    sleep 0.5 # long enough for a walker to reach the mount and block there
    if ! kill -0 "$walk" 2>/dev/null; then
        fail "stopped daemon: size_bench ended before SIGINT ($(cat "$work/err"))"
    else
        sent=$(now_ms)
        kill -INT "$walk"
        for _ in $(seq 100); do
            kill -0 "$walk" 2>/dev/null || break
            sleep 0.02
        done
        took=$(($(now_ms) - sent))
        if kill -0 "$walk" 2>/dev/null; then
            fail "stopped daemon: size_bench still runs 2 s after SIGINT"
            kill -KILL "$walk"
        fi
        kill -CONT "$daemon" # a walker the kill cannot reach finishes once the daemon answers
        status=0
        wait "$walk" || status=$?
        [ "$status" = 130 ] || fail "stopped daemon: exit $status after SIGINT, expected 130"
        [ "$took" -le 1000 ] || fail "stopped daemon: SIGINT took $took ms to end the walk"
        [ ! -s "$work/out" ] || fail "stopped daemon: a total was printed: $(cat "$work/out")"
        echo "stopped daemon: SIGINT ended size_bench in $took ms, status $status"
    fi
    kill -CONT "$daemon"
fi

# --- a grown file is seen at its new size through the mount's caches
mkdir -p "$work/back2"
truncate -s 1000 "$work/back2/grows"
if mount_bindfs "$work/back2" "$work/mnt2" -o entry_timeout=30,attr_timeout=0; then
    before=$(timeout 10 "$bench" --folder "$work/mnt2" 2>/dev/null)
    [ "$before" = 1000 ] || fail "fresh sizes: first total '$before', expected 1000"
    truncate -s 1049576 "$work/back2/grows"
    after=$(timeout 10 "$bench" --folder "$work/mnt2" 2>/dev/null)
    [ "$after" = 1049576 ] || fail "fresh sizes: total '$after' after growing, expected 1049576"
fi

# --- a mount this user may not enter is named itself
mkdir -p "$work/back3" "$work/tree3/holder/open"
truncate -s 10 "$work/back3/secret" "$work/tree3/holder/open/fine"
if mount_bindfs "$work/back3" "$work/tree3/holder/locked" --no-allow-other; then
    status=0
    timeout 10 setpriv --reuid=nobody --regid=nogroup --clear-groups \
        "$bench" --folder "$work/tree3" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = 1 ] || fail "closed mount: exit $status, expected 1 ($(cat "$work/err"))"
    grep -qF "'$work/tree3/holder/locked'" "$work/err" ||
        fail "closed mount: the reason does not name the mount: $(cat "$work/err")"
fi

exit "$failed"
