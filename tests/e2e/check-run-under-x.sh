#!/usr/bin/env bash
# Checks run-under-x.sh's start-up against stand-ins for Xvfb and the window manager: an X
# server or window manager that ends or never becomes ready fails the test (status 1, its log
# shown) instead of skipping it or going on without it, and the test script's own status is
# what run-under-x.sh returns. Cases that need the real Xvfb and openbox are left out when
# they are not installed.
set -uo pipefail
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A stand-in program $2 in folder $1 running the shell code $3.
stand_in() {
    mkdir -p "$work/$1"
    printf '#!/usr/bin/env bash\n%s\n' "$3" >"$work/$1/$2"
    chmod +x "$work/$1/$2"
}
stand_in xvfb-dies Xvfb 'echo "Fatal server error: no screens found" >&2; exit 1'
stand_in xvfb-silent Xvfb 'echo $$ >>"'"$work"'/pids"; exec sleep 30'
stand_in wm-dies openbox 'echo "openbox: cannot open display" >&2; exit 1'
stand_in wm-silent openbox 'echo $$ >>"'"$work"'/pids"; exec sleep 30'
# Display taken on the first try, then the real programs: the start-up tries another number.
real_xvfb=$(command -v Xvfb || true)
real_wm=$(command -v openbox || true)
# shellcheck disable=SC2016 # $1 and $@ are the stand-in's own arguments
stand_in xvfb-taken-once Xvfb 'if mkdir "'"$work"'/xvfb-tried" 2>/dev/null; then
    echo "Fatal server error: Server is already active for display $1" >&2; exit 1; fi
exec "'"$real_xvfb"'" "$@"'
# shellcheck disable=SC2016 # $@ is the stand-in's own arguments
stand_in wm-fails-once openbox 'if mkdir "'"$work"'/wm-tried" 2>/dev/null; then
    echo "openbox: cannot open display" >&2; exit 1; fi
exec "'"$real_wm"'" "$@"'
printf 'echo inner script ran\n' >"$work/passes.sh"
printf 'echo inner script failed; exit 1\n' >"$work/fails.sh"

# run-under-x.sh with the stand-ins of folder $2 (none when empty) first on the PATH, running
# test script $3: expects status $4 and output containing $5.
check() {
    local label=$1 stand_ins=$2 script=$3 want_status=$4 want_text=$5 output status=0
    output=$(PATH="${stand_ins:+$work/$stand_ins:}$PATH" ZEMRA_X_START_SECONDS=2 \
        bash "$here/run-under-x.sh" "$work/$script" /bin/true 2>&1) || status=$?
    if [ "$status" -ne "$want_status" ] || ! grep -qF -- "$want_text" <<<"$output"; then
        echo "FAILED: $label: status $status (want $want_status), output:"
        sed 's/^/    /' <<<"$output"
        failures=$((failures + 1))
    fi
}

check "Xvfb ends at once" xvfb-dies passes.sh 1 "no screens found"
check "Xvfb never tells its display" xvfb-silent passes.sh 1 "Xvfb was not ready after 2 s"
if command -v Xvfb >/dev/null; then
    check "the window manager ends at once" wm-dies passes.sh 1 "openbox: cannot open display"
    check "the window manager never becomes ready" wm-silent passes.sh 1 \
        "the window manager was not ready after 2 s"
    if command -v openbox >/dev/null; then
        check "a passing script" "" passes.sh 0 "inner script ran"
        check "a failing script" "" fails.sh 1 "inner script failed"
        check "a display taken at the first try" xvfb-taken-once passes.sh 0 "inner script ran"
        check "a window manager that fails once" wm-fails-once passes.sh 0 "inner script ran"
    fi
fi
# No stand-in that never became ready may outlive its run.
while read -r pid; do
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAILED: stand-in $pid outlived run-under-x.sh"
        kill "$pid"
        failures=$((failures + 1))
    fi
done <"$work/pids"

[ "$failures" -eq 0 ] || exit 1
echo "PASSED: run-under-x.sh start-up failures and script status"
