#!/usr/bin/env bash
# Builds the unit tests a second and third time with sanitizers and runs them:
#   build-asan: AddressSanitizer + UndefinedBehaviorSanitizer, every unit test;
#   build-tsan: ThreadSanitizer, the sizing engine's tests (the multi-threaded code) in
#               their own test binary, zemra_engine_tests, which compiles far faster.
# Any sanitizer report fails the run (non-zero exit), as does a failing test.
# Usage: scripts/test-sanitizers.sh [asan|tsan]...   (both when none is given)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Suites of the sizing engine: the portable and Linux size queries and the folder walker.
engine_tests='*SizeQuery*:*FolderWalk*'

configure_flags=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON)
if [ "${ZEMRA_WERROR:-OFF}" = ON ]; then
    configure_flags+=(-DZEMRA_WERROR=ON)
fi
# ccache only when it is there. Paths relative to the checkout, and the build folder left
# out of the key (ccache adds it for -g builds), so that other clones and worktrees share
# the entries.
if command -v ccache >/dev/null; then
    configure_flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
    # The precompiled headers: ccache takes them only with these sloppinesses.
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
fi

# Configures build folder $1 with -fsanitize=$2 and builds the test binary $3 only.
build_tests() {
    local dir=$1 sanitizers=$2 target=$3
    echo "== $dir: building $target with -fsanitize=$sanitizers"
    cmake -S . -B "$dir" "${configure_flags[@]}" -DZEMRA_SANITIZE="$sanitizers"
    cmake --build "$dir" -j "${ZEMRA_SANITIZER_JOBS:-$(nproc)}" --target "$target"
}

# Runs the test binary $2 of build folder $1 with the gtest filter $3. A sanitizer report ends
# the process with status 66 even where the report comes after every test has passed (leaks
# are found at exit), so the status alone decides.
# A filter that matches no test (a renamed suite) fails too, rather than passing with nothing
# run.
run_tests() {
    local dir=$1 binary=$1/tests/$2 filter=$3 status=0 count
    count=$("$binary" --gtest_list_tests --gtest_filter="$filter" | grep -c '^  ' || true)
    if [ "$count" -eq 0 ]; then
        echo "FAILED: $dir: no unit test matches $filter" >&2
        return 1
    fi
    echo "== $dir: running $count tests ($filter)"
    QT_QPA_PLATFORM=offscreen "$binary" --gtest_filter="$filter" \
        --gtest_brief=1 || status=$?
    if [ "$status" -ne 0 ]; then
        echo "FAILED: $dir: the unit tests ended with status $status" >&2
        return 1
    fi
}

run_asan() {
    build_tests build-asan address,undefined zemra_tests
    ASAN_OPTIONS="halt_on_error=1:exitcode=66:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:$(suppressions asan)" \
    LSAN_OPTIONS="exitcode=66:$(suppressions lsan)" \
    UBSAN_OPTIONS="halt_on_error=1:exitcode=66:print_stacktrace=1:$(suppressions ubsan)" \
        run_tests build-asan zemra_tests '*'
}

run_tsan() {
    build_tests build-tsan thread zemra_engine_tests
    TSAN_OPTIONS="halt_on_error=1:exitcode=66:second_deadlock_stack=1:$(suppressions tsan)" \
        run_tests build-tsan zemra_engine_tests "$engine_tests"
}

# The suppressions= option for sanitizer $1 when tests/sanitizers/$1.supp exists. Every entry
# there carries the reason it is needed.
suppressions() {
    local file=$root/tests/sanitizers/$1.supp
    [ -f "$file" ] && echo "suppressions=$file"
    return 0
}

kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(asan tsan)
for kind in "${kinds[@]}"; do
    case $kind in
    asan) run_asan ;;
    tsan) run_tsan ;;
    *)
        echo "unknown sanitizer build '$kind' (asan or tsan)" >&2
        exit 2
        ;;
    esac
done
