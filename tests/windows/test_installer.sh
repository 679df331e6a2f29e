#!/usr/bin/env bash
# The NSIS installer, run silently under Wine: it installs zemra.exe with its libraries and
# plugins under Program Files, a Start-menu entry and an uninstaller; the installed program
# answers --version; the uninstaller removes the folder again.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

version=${ZEMRA_PROJECT_VERSION:?the project version is not set}
installer=${ZEMRA_INSTALLER:?the installer is not set}
[ -f "$installer" ] || fail "no installer at $installer"

# /S: silent; /D: the folder (last, unquoted, as NSIS wants it).
timeout 120 wine "$installer" /S '/D=C:\Program Files\Zemra-Gauge' >/dev/null 2>&1 ||
    fail "the installer failed"
installed=$WINEPREFIX/drive_c/Program\ Files/Zemra-Gauge
for file in zemra.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
    platforms/qoffscreen.dll styles/qwindowsvistastyle.dll libstdc++-6.dll \
    libgcc_s_seh-1.dll libwinpthread-1.dll Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "the installer did not install $file"
done
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Zemra-Gauge.lnk' | head -n 1)
[ -n "$shortcut" ] || fail "no Start-menu entry Zemra-Gauge.lnk"

timeout 60 wine "$installed/zemra.exe" --version >"$E2E_DIR/out" 2>&1
grep -q "^Zemra-Gauge $version" "$E2E_DIR/out" ||
    fail "the installed program answered: $(cat "$E2E_DIR/out")"

# The uninstaller copies itself away and returns at once; its copy removes the folder.
timeout 120 wine "$installed/Uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller failed"
for _ in $(seq 1 600); do
    [ -e "$installed/zemra.exe" ] || break
    sleep 0.1
done
[ ! -e "$installed/zemra.exe" ] || fail "the uninstaller left zemra.exe behind"
echo "PASSED: installed $(basename "$installer") silently, ran it, uninstalled it"
