#!/usr/bin/env bash
# Installs the Debian packages Zemra-Gauge needs to build, run and test, and only those that
# are missing. Non-interactive; runs apt-get as root, or through sudo otherwise.
# usage: scripts/install-deps.sh [--bench] [--windows]
#   --bench:   also what bench/run-bench.sh needs
#   --windows: also what the Windows build and its tests need (scripts/build-windows.sh,
#              scripts/test-windows.sh): Wine, the Wintab headers, NSIS, the GoogleTest sources
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libxcb1-dev
    # the size history (SQLite through Qt SQL) and its trend chart
    libqt6sql6-sqlite qt6-charts-dev
    # Qt Charts' CMake package needs Qt OpenGL's, which qt6-charts-dev does not pull in
    libqt6opengl6-dev
    # tests
    libgtest-dev libgmock-dev
    # real-window tests: X server, window manager, input and window inspection
    xvfb xauth openbox xdotool wmctrl x11-utils
    # slowed measurements in the real-window tests, and a user-space mount that stops
    # answering (also the size engine's tests on a real FUSE mount)
    strace bindfs
    # fonts, so that text renders under Xvfb ("Arial" maps to Liberation Sans)
    fonts-dejavu-core fonts-liberation
    # compile check of the Windows-only sources
    g++-mingw-w64-x86-64-posix
    # the code's own checks (scripts/check-lint.sh)
    clang-tidy
    # the Debian package (cpack with dpkg-shlibdeps) and the checks of its contents
    dpkg-dev file desktop-file-utils appstream man-db lintian
)
for option in "$@"; do
    case $option in
    --bench)
        # the size benchmark: timing, the tools it is compared with, its arithmetic, and the
        # user-space filesystems of its FUSE section, and the sshd and sshfs of its network
        # section (on 127.0.0.1 only)
        packages+=(hyperfine time gdu ncdu bc squashfuse squashfs-tools bindfs openssh-server
            openssh-client sshfs)
        ;;
    --windows)
        # Qt's sources come through apt-get source (dpkg-dev, already above); its Windows
        # platform plugin needs Wine's Wintab headers (libwine-dev). The program and its tests
        # run under Wine on the X server above; the installer is built with makensis; the
        # tests are cross-built from Debian's GoogleTest sources.
        packages+=(libwine-dev wine wine64 nsis googletest)
        ;;
    *)
        echo "install-deps.sh: unknown option $option" >&2
        exit 2
        ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
