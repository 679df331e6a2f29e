#!/usr/bin/env bash
# Checks the helpers of lib.sh that need no X server: control_center against small forms with
# the shapes it must handle or refuse, and every control the real-window tests click against
# the real main form (it must be found there and lie inside the window's 354x256 client area,
# where a click can reach it).
set -uo pipefail
here=$(dirname "$0")
XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
real_form=$here/../../src/ui/MainWindow.ui
source "$here/lib.sh"
failures=0

# Writes a form whose top-level widget holds the XML $1.
form_with() {
    MAIN_FORM=$XDG_CONFIG_HOME/form.ui
    cat >"$MAIN_FORM" <<FORM
<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>ZEMRA_MAIN</class>
 <widget class="QWidget" name="ZEMRA_MAIN">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>887</width><height>526</height></rect>
  </property>
$1
 </widget>
</ui>
FORM
}

# Control $2 in a form holding $3: prints "$4" when $4 is given, fails otherwise.
check() {
    local label=$1 name=$2 xml=$3 expected=${4-} got status=0
    form_with "$xml"
    got=$(control_center "$name") || status=$?
    if [ -n "$expected" ] && { [ "$status" -ne 0 ] || [ "$got" != "$expected" ]; }; then
        echo "FAILED: $label: '$got' (status $status), expected '$expected'"
        failures=$((failures + 1))
    elif [ -z "$expected" ] && { [ "$status" -eq 0 ] || [ -n "$got" ]; }; then
        echo "FAILED: $label: '$got' (status $status), expected a failure"
        failures=$((failures + 1))
    fi
}

button() { # name x y width height
    printf '  <widget class="QPushButton" name="%s">\n   <property name="geometry">\n    <rect>\n     <x>%s</x>\n     <y>%s</y>\n     <width>%s</width>\n     <height>%s</height>\n    </rect>\n   </property>\n  </widget>\n' "$@"
}

check "even size" B "$(button B 16 224 64 24)" "48 236"
check "odd size rounds down" B "$(button B 176 224 73 25)" "212 236"
check "negative position" B "$(button B -40 -10 20 30)" "-30 5"
check "the named control, not the one before" B "$(button A 0 0 10 10; button B 100 50 20 20)" "110 60"
check "a name that is a prefix of another" RUN "$(button RUN_NOW 0 0 10 10; button RUN 200 100 2 2)" "201 101"
check "unknown control" C "$(button A 0 0 10 10)"
check "the top-level widget" ZEMRA_MAIN "$(button A 0 0 10 10)"
check "no geometry: the next control's is not taken" B \
    "$(printf '  <widget class="QLabel" name="B">\n  </widget>\n'; button C 5 5 10 10)"
check "a geometry without its height" B \
    "$(printf '  <widget class="QLabel" name="B">\n   <property name="geometry">\n    <rect><x>1</x>\n<y>2</y>\n<width>3</width>\n    </rect>\n   </property>\n  </widget>\n')"
check "inside another control: not relative to the window" B \
    "$(printf '  <widget class="QGroupBox" name="G">\n'; button B 10 10 10 10; printf '  </widget>\n')"
check "a container's own geometry, not its child's" G \
    "$(printf '  <widget class="QGroupBox" name="G">\n   <property name="geometry">\n    <rect>\n     <x>100</x>\n     <y>100</y>\n     <width>50</width>\n     <height>50</height>\n    </rect>\n   </property>\n'; button B 0 0 10 10; printf '  </widget>\n')" \
    "125 125"
check "a control after a container" B \
    "$(printf '  <widget class="QGroupBox" name="G">\n'; button C 0 0 10 10; printf '  </widget>\n'; button B 40 40 10 10)" \
    "45 45"

# Every control the real-window tests click, in the real form.
MAIN_FORM=$real_form
# Named in a click_control call, or a button (buttons are named only to be clicked).
clicked=$( (grep -ho 'click_control "[^"]*" [A-Za-z_0-9]*' "$here"/test_*.sh | awk '{ print $3 }'
    grep -hoE '\b[A-Z][A-Z_0-9]*_BUTTON\b' "$here"/test_*.sh) | sort -u)
[ -n "$clicked" ] || { echo "FAILED: no click_control calls found in $here"; exit 1; }
for name in $clicked; do
    if ! read -r x y < <(control_center "$name"); then
        echo "FAILED: $name, clicked by a real-window test, is not in $real_form"
        failures=$((failures + 1))
    elif [ "$x" -lt 0 ] || [ "$x" -ge 354 ] || [ "$y" -lt 0 ] || [ "$y" -ge 256 ]; then
        echo "FAILED: $name's centre $x,$y lies outside the 354x256 client area"
        failures=$((failures + 1))
    fi
done

[ "$failures" -eq 0 ] || exit 1
echo "PASSED: control_center on $(grep -c '^check ' "$0") forms and $(wc -w <<<"$clicked") clicked controls"
