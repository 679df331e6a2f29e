# Helpers for the tests of the Windows build under Wine. Sourced by each test script, which
# run-all.sh runs with DISPLAY (an X server with a window manager), WINEPREFIX (a Wine prefix
# of its own), ZEMRA (zemra.exe in its runnable folder), ZEMRA_TESTS (the folder with the unit
# tests) and E2E_DIR (a temporary folder) set. The helpers of the Linux real-window tests
# (waiting for windows and processes, the expected run log) are shared.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

# The program's settings key in the current user's registry, and its section for zemra.exe.
REGISTRY_KEY='HKCU\Software\ZEMRA'
SECTION_KEY="$REGISTRY_KEY\\zemra"

# The Windows path of Linux path $1: Wine's drive Z: is the Linux root.
win_path() {
    local path=${1//\//\\}
    echo "Z:$path"
}

# Runs a Windows program under Wine: its exit status is the program's.
wine_run() {
    wine "$@"
}

# Sets value $1 of the zemra section to $2, as REG_SZ or the type $3 (REG_DWORD, ...).
reg_set() {
    wine reg add "$SECTION_KEY" /v "$1" /t "${3:-REG_SZ}" /d "$2" /f >/dev/null 2>&1 ||
        fail "reg add $1 failed"
}

# Prints value $1 of key $2 (default: the zemra section) as "TYPE DATA", or nothing.
reg_value() {
    local key=${2:-$SECTION_KEY}
    wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name { type = $2; sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]*/, ""); print type " " $0 }'
}

# Removes the program's whole registry key: the next launch starts from the defaults.
reg_clear() {
    wine reg delete "$REGISTRY_KEY" /f >/dev/null 2>&1
    return 0
}

# Replaces the zemra section with the entries given as KEY=VALUE arguments (REG_SZ).
write_registry() {
    reg_clear
    local entry
    for entry in "$@"; do
        reg_set "${entry%%=*}" "${entry#*=}"
    done
}

# The registry as `reg export` writes it (UTF-16 turned into UTF-8, CR LF kept), for key $1.
reg_export() {
    local file=$E2E_DIR/export.reg
    rm -f "$file"
    wine reg export "$1" "$(win_path "$file")" /y >/dev/null 2>&1 || return 1
    iconv -f UTF-16 -t UTF-8 "$file"
}
