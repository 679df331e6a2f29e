# Helpers for the real-window tests. Sourced by each test script, which runs under
# run-under-x.sh with DISPLAY, ZEMRA (the binary), XDG_CONFIG_HOME and XDG_DATA_HOME set.

INI=$XDG_CONFIG_HOME/ZEMRA/ZEMRA.ini
MAIN_FORM=${MAIN_FORM:-$(dirname "${BASH_SOURCE[0]}")/../../src/ui/MainWindow.ui}

fail() {
    echo "FAILED: $*"
    exit 1
}

# Prints "X Y", the centre of control $1 of the main window in client pixels, read from the
# control's geometry in the form ($MAIN_FORM). The form's geometry is in device-independent
# pixels, which are the client's pixels under Xvfb (no scaling). Fails, printing nothing,
# when the form has no such control, the control has no geometry, or it lies inside another
# control (its geometry would then not be relative to the window).
control_center() {
    local name=$1 centre
    centre=$(awk -v name="$name" '
        /<widget[ >]/ {
            depth++
            if (index($0, "name=\"" name "\"")) {
                if (found || depth != 2) { bad = 1; exit }
                found = 1; inside = 1
            }
            next
        }
        /<\/widget>/ { if (inside && depth == 2) inside = 0; depth--; next }
        # The first geometry inside the control is its own; later ones belong to children.
        inside && !done && /<property name="geometry">/ { geometry = 1; next }
        inside && geometry && /<\/property>/ { geometry = 0; done = 1; next }
        inside && geometry && match($0, /<(x|y|width|height)>-?[0-9]+<\//) {
            field = $0
            sub(/^[^<]*</, "", field)
            key = field; sub(/>.*/, "", key)
            value = field; sub(/^[^>]*>/, "", value); sub(/<.*/, "", value)
            rect[key] = value + 0; seen[key] = 1
        }
        END {
            if (bad || !found || !done) exit 1
            if (!seen["x"] || !seen["y"] || !seen["width"] || !seen["height"]) exit 1
            printf "%d %d\n", rect["x"] + int(rect["width"] / 2), rect["y"] + int(rect["height"] / 2)
        }
    ' "$MAIN_FORM") || return 1
    [ -n "$centre" ] || return 1
    echo "$centre"
}

# Clicks control $2 of the main window $1 at its centre (see control_center).
click_control() {
    local window=$1 name=$2 centre
    centre=$(control_center "$name") || fail "no control $name with a geometry in $MAIN_FORM"
    # shellcheck disable=SC2086 # "X Y" splits into the two coordinates
    xdotool mousemove --window "$window" $centre click 1
}

# Waits up to $2 seconds (default 10) for a visible window titled exactly $1; prints its id.
wait_for_window() {
    local title=$1 seconds=${2:-10} id
    for _ in $(seq 1 $((seconds * 10))); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Waits up to $2 seconds for process $1 to end; sets EXIT_STATUS to its status.
wait_for_exit() {
    local pid=$1 seconds=${2:-10}
    for _ in $(seq 1 $((seconds * 10))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            EXIT_STATUS=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Closes a window the way a user does, through the window manager (EWMH _NET_CLOSE_WINDOW,
# which the manager turns into the window's close request), and waits up to 10 s for process
# $2 to end; sets EXIT_STATUS. A request that a busy window manager drops is sent again.
close_and_wait() {
    local window=$1 pid=$2
    for _ in 1 2 3 4 5; do
        wmctrl -i -c "$window" 2>/dev/null
        if wait_for_exit "$pid" 2; then
            return 0
        fi
    done
    return 1
}

# The value of key $1 in section $2 (default zemra) of the settings file, or nothing.
ini_value() {
    local key=$1 section=${2:-zemra}
    awk -v section="[$section]" -v key="$key" '
        $0 == section { inside = 1; next }
        /^\[/ { inside = 0 }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$INI"
}

ini_has() {
    grep -q "^$1=" "$INI"
}

# Writes the settings file with the [zemra] entries given as KEY=VALUE arguments.
write_settings() {
    mkdir -p "$(dirname "$INI")"
    {
        echo "[zemra]"
        printf '%s\n' "$@"
    } >"$INI"
}

# One unattended launch (AutoStart and AutoClose ticked) with the further [zemra] entries
# given as KEY=VALUE arguments; its stderr goes to $E2E_DIR/stderr. Waits up to 40 s for it
# to close by itself and sets EXIT_STATUS; a status of 128 or more (a crash) fails the test.
run_unattended() {
    write_settings AUTOSTART_TICKBOX=1 AUTOCLOSE_TICKBOX=1 "$@"
    "$ZEMRA" 2>"$E2E_DIR/stderr" &
    local pid=$!
    wait_for_exit "$pid" 40 || { kill "$pid"; fail "the unattended launch did not close in 40 s"; }
    [ "$EXIT_STATUS" -lt 128 ] ||
        fail "the program crashed (status $EXIT_STATUS): $(cat "$E2E_DIR/stderr")"
}

# The run log the program writes for target label $1 (FILE or FOLDER), path $2 and the six
# size lines $3..$8, with CR LF line ends.
expected_run_log() {
    local label=$1 path=$2
    shift 2
    local splitter
    splitter=$(printf '=%.0s' $(seq 1 61))
    {
        printf '%s\r\n' "$splitter" "!!! - QUENLOW - Zemra-Gauge - !!!" "$splitter" \
            "EXE File = zemra" "$label = $path" "$splitter" ""
        printf '%s\r\n' "$@"
        printf '%s\r\n' "" "$splitter" "!!! - Thanks for using Quenlow Software - !!!" \
            "!!! - www.quenlow.example - Vorrel42 !!! :)" "$splitter"
    }
}

# Whether window $1 has the window manager's above state (_NET_WM_STATE_ABOVE).
has_above() {
    xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE
}

# Waits up to $1 seconds of wall time for the window $2 to be above and the window $3 not.
wait_for_above() {
    local deadline=$(($(date +%s%N) + $1 * 1000000000)) above=$2 below=$3
    while [ "$(date +%s%N)" -lt "$deadline" ]; do
        if has_above "$above" && ! has_above "$below"; then
            return 0
        fi
        sleep 0.05
    done
    has_above "$above" && ! has_above "$below"
}

# Activates window $1 and waits up to 5 s until the window manager reports it active. Asks
# again while the window manager is still busy (or not yet announcing its features).
activate() {
    local hex
    hex=$(printf '0x%x' "$1")
    for _ in $(seq 1 50); do
        xdotool windowactivate "$1" 2>/dev/null
        if xprop -root _NET_ACTIVE_WINDOW | grep -q "# $hex\$"; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Starts the command "$@" in the background under a perl parent that records how it ended:
# "signal N" or "status N" in the file $WATCHED.ended, which a shell's own status (128 + N
# either way) cannot tell apart. Sets WATCHED_PID to the command's process and WATCHER to the
# parent's; wait for the parent to read the file. $WATCHED names the files (a path prefix).
start_watched() {
    rm -f "$WATCHED.ended" "$WATCHED.pid"
    perl -e '
        my ($prefix, @command) = @ARGV;
        my $pid = fork() // die "fork: $!";
        if ($pid == 0) { exec @command or exit 127 }
        open my $out, ">", "$prefix.pid" or die; print $out $pid; close $out;
        waitpid($pid, 0);
        open $out, ">", "$prefix.ended" or die;
        print $out (($? & 127) ? "signal " . ($? & 127) : "status " . ($? >> 8));
        close $out' "$WATCHED" "$@" &
    WATCHER=$!
    for _ in $(seq 1 50); do
        [ -s "$WATCHED.pid" ] && break
        sleep 0.1
    done
    WATCHED_PID=$(cat "$WATCHED.pid")
}
