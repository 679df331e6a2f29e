#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree into a temporary folder and
# checks it: its name, the files it installs and where, the desktop entry and AppStream
# metainfo under their validators, the man page, and that Depends names the Qt libraries.
# Usage: check-package.sh BUILD_DIR VERSION
set -uo pipefail

build=$(cd "$1" && pwd)
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAILED: $*"
    exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
done

start=$SECONDS
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "cpack could not build the package"
}
deb=$work/zemra_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$work")"
echo "built $(basename "$deb") in $((SECONDS - start)) s"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zemra ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "package version $(field Version), expected $version"
depends=$(field Depends)
echo "Depends: $depends"
depends_names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for library in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6; do
    grep -qxF "$library" <<<"$depends_names" || fail "Depends does not name $library"
done

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/contents"
expected=(
    /usr/bin/zemra
    /usr/share/applications/zemra.desktop
    /usr/share/icons/hicolor/scalable/apps/zemra.svg
    /usr/share/icons/hicolor/16x16/apps/zemra.png
    /usr/share/icons/hicolor/24x24/apps/zemra.png
    /usr/share/man/man1/zemra.1.gz
    /usr/share/metainfo/example.quenlow.zemra.metainfo.xml
)
for path in "${expected[@]}"; do
    grep -qx "$path" "$work/contents" || fail "the package has no $path: $(cat "$work/contents")"
done
# Only the program: no test or benchmark binaries, no headers, nothing outside /usr.
unexpected=$(grep -v '/$' "$work/contents" | grep -vxF -f <(printf '%s\n' "${expected[@]}"))
[ -z "$unexpected" ] || fail "the package holds more than the program: $unexpected"

root=$work/root
dpkg-deb -x "$deb" "$root"
file -b "$root/usr/bin/zemra" | grep -q '^ELF .* executable\|^ELF .*pie' || fail "usr/bin/zemra is not an executable"
[ -x "$root/usr/bin/zemra" ] || fail "usr/bin/zemra is not executable"
"$root/usr/bin/zemra" --version | grep -qx "Zemra-Gauge $version" || fail "the packaged zemra --version is wrong"

hints=$(desktop-file-validate "$root/usr/share/applications/zemra.desktop" 2>&1) ||
    fail "desktop-file-validate: $hints"
[ -z "$hints" ] || fail "desktop-file-validate has something to say: $hints"

metainfo=$root/usr/share/metainfo/example.quenlow.zemra.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate rejects the metainfo"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
grep -q '<screenshot' "$metainfo" || fail "the metainfo has no screenshot"

man=$root/usr/share/man/man1/zemra.1.gz
gzip -t "$man" || fail "the man page is not gzip-compressed"
zcat "$man" | grep -q "Zemra-Gauge $version" || fail "the man page does not carry version $version"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES; do
    zcat "$man" | grep -q "^\.SH \"\\?$section" || fail "the man page has no $section section"
done
if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "the man page renders with warnings: $warnings"
fi

echo "PASSED: $(basename "$deb") in $((SECONDS - start)) s, $(grep -vc '/$' "$work/contents") files"
