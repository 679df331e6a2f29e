#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree into a temporary folder and
# checks it: lintian finds no error or warning, its name, the files it installs and where,
# the documentation folder and the systemd user units, the desktop entry and AppStream
# metainfo under their validators, the man page, the executable's hardening and stripping,
# and that Depends names the Qt libraries.
# Usage: check-package.sh BUILD_DIR VERSION
set -uo pipefail

build=$(cd "$1" && pwd)
version=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAILED: $*"
    exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog desktop-file-validate appstreamcli \
    lintian readelf; do
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

# Every tag lintian shows, infos included; an error or a warning fails, and so do the infos
# this package once had. Its exit status then only says whether lintian could check.
lintian --fail-on none --display-info --tag-display-limit 0 "$deb" >"$work/lintian" \
    2>"$work/lintian.err" ||
    fail "lintian could not check the package: $(cat "$work/lintian.err")"
cat "$work/lintian"
! grep -q '^[EW]: ' "$work/lintian" || fail "lintian reports errors or warnings"
for tag in binary-has-unneeded-section desktop-entry-lacks-keywords-entry hardening-no-bindnow; do
    ! grep -q " $tag" "$work/lintian" || fail "lintian reports $tag"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zemra ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "package version $(field Version), expected $version"
depends=$(field Depends)
echo "Depends: $depends"
depends_names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6-sqlite libqt6charts6 libc6 \
    libstdc++6; do
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
    /usr/share/doc/zemra/copyright
    /usr/share/doc/zemra/changelog.gz
    /usr/share/doc/zemra/README.md.gz
    /usr/lib/systemd/user/zemra.service
    /usr/lib/systemd/user/zemra.timer
    /usr/share/lintian/overrides/zemra
)
# The scheduling examples: the systemd units and docs/examples, each in the documentation
# folder's examples/.
examples=("$source"/docs/systemd/*)
if [ -d "$source/docs/examples" ]; then
    examples+=("$source"/docs/examples/*)
fi
for example in "${examples[@]}"; do
    expected+=("/usr/share/doc/zemra/examples/$(basename "$example")")
done
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
# Full RELRO, and nothing left that Debian strips: symbols, debug information, .comment, .note.
# (grep -q reads from a here-string: in a pipe its early exit could fail readelf under pipefail.)
grep -q GNU_RELRO <<<"$(readelf -lW "$root/usr/bin/zemra")" || fail "usr/bin/zemra has no RELRO segment"
grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$(readelf -dW "$root/usr/bin/zemra")" ||
    fail "usr/bin/zemra is not linked with -z now"
# _FORTIFY_SOURCE: the checked variants of glibc's functions (lintian's own check of it is
# overridden, see resources/zemra.lintian-overrides).
grep -Eq ' UND __[a-z0-9_]+_(chk|2)@' <<<"$(readelf -W --dyn-syms "$root/usr/bin/zemra")" ||
    fail "usr/bin/zemra calls none of glibc's checked functions (_FORTIFY_SOURCE)"
sections=$(readelf -SW "$root/usr/bin/zemra" | sed -n 's/^ *\[ *[0-9]*\] \([^ ]*\).*/\1/p')
unneeded=$(grep -E '^(\.symtab|\.debug_.*|\.comment|\.note)$' <<<"$sections")
[ -z "$unneeded" ] || fail "usr/bin/zemra keeps sections Debian strips:" $unneeded

doc=$root/usr/share/doc/zemra
head -n1 "$doc/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright is not in the machine-readable format"
for field in Upstream-Name Files Copyright License; do
    grep -q "^$field: " "$doc/copyright" || fail "the copyright has no $field field"
done
gzip -t "$doc/changelog.gz" || fail "the changelog is not gzip-compressed"
changelog_version=$(zcat "$doc/changelog.gz" | dpkg-parsechangelog -l - -S Version) ||
    fail "the changelog is not in Debian's format"
[ "$changelog_version" = "$version" ] ||
    fail "the changelog's latest entry is $changelog_version, not $version"
zcat "$doc/README.md.gz" | cmp -s - "$source/README.md" || fail "the packaged README differs from README.md"
for unit in zemra.service zemra.timer; do
    cmp -s "$root/usr/lib/systemd/user/$unit" "$source/docs/systemd/$unit" ||
        fail "the installed $unit differs from docs/systemd/$unit"
done
for example in "${examples[@]}"; do
    cmp -s "$doc/examples/$(basename "$example")" "$example" ||
        fail "the packaged example $(basename "$example") differs from its source"
done

hints=$(desktop-file-validate "$root/usr/share/applications/zemra.desktop" 2>&1) ||
    fail "desktop-file-validate: $hints"
[ -z "$hints" ] || fail "desktop-file-validate has something to say: $hints"
keywords=$(sed -n 's/^Keywords=//p' "$root/usr/share/applications/zemra.desktop" | tr ';' '\n')
for keyword in disk size usage folder log; do
    grep -qx "$keyword" <<<"$keywords" || fail "the desktop entry's Keywords lack $keyword"
done

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
