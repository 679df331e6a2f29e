# Helpers for the real-window tests. Sourced by each test script, which runs under
# run-under-x.sh with DISPLAY, ZEMRA (the binary) and XDG_CONFIG_HOME set.

INI=$XDG_CONFIG_HOME/ZEMRA/ZEMRA.ini

fail() {
    echo "FAILED: $*"
    exit 1
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
