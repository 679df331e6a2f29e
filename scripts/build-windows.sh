#!/usr/bin/env bash
# Builds the 64-bit Windows program on Debian, with MinGW-w64, and lays out a folder that
# runs on Windows (and under Wine):
#   1. Qt for Windows (Core, Gui, Widgets, Test, Sql with its SQLite driver, the windows
#      platform plugin and styles), cross-built from Debian's own qt6-base source package of
#      the same version as the host's Qt tools (moc, uic, rcc), Qt Charts from Debian's
#      qt6-charts sources of the host's version, and GoogleTest from Debian's googletest
#      sources.
#      Both are installed into a cache folder outside the work tree and reused from there:
#      ${ZEMRA_WINDOWS_CACHE:-~/.cache/zemra}/qt-win-<Qt version>. The first build takes
#      about 40 minutes on two cores; later runs skip it.
#   2. The program and its unit tests, into build-windows/ (Ninja, ccache when installed).
#   3. build-windows/zemra-win64/: zemra.exe, zemra_tests.exe, the Qt and MinGW runtime DLLs,
#      platforms/qwindows.dll (and qoffscreen.dll for the tests), styles/, sqldrivers/.
#   4. The installer and a ZIP of that folder (cpack: NSIS and ZIP), in build-windows/.
# Non-interactive and idempotent. Installs what it needs first (scripts/install-deps.sh
# --windows). The Qt sources are fetched with apt-get source through a deb-src list of its
# own in the cache folder; the system's apt sources are left untouched.
# usage: scripts/build-windows.sh [--libraries-only | --cached]
#   --libraries-only: stop after step 1
#   --cached:         build nothing; print the cache folder and exit 0 when step 1 is done
#                     there, 1 when not (scripts/test.sh runs the Windows tests only then)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
libraries_only=false
query_cache=false
for option in "$@"; do
    case $option in
    --libraries-only) libraries_only=true ;;
    --cached) query_cache=true ;;
    *)
        echo "build-windows.sh: unknown option $option" >&2
        exit 2
        ;;
    esac
done

# The host's Qt: its tools generate code for the Windows build, so the Windows Qt is built
# from the very same source version.
qt_package_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
qt_version=${qt_package_version%%+*}
qt_version=${qt_version#*:}
cache=${ZEMRA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zemra}
prefix=$cache/qt-win-${qt_version:-unknown}
work=$prefix-work
# What a complete cache holds; a cache from before Qt SQL and Qt Charts were in it is built
# again.
complete=zemra-complete-sql-charts
if [ "$query_cache" = true ]; then
    echo "$prefix"
    [ -n "$qt_version" ] && [ -f "$prefix/$complete" ]
    exit
fi

scripts/install-deps.sh --windows
if [ -z "$qt_version" ]; then
    qt_package_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
    qt_version=${qt_package_version%%+*}
    qt_version=${qt_version#*:}
    prefix=$cache/qt-win-$qt_version
    work=$prefix-work
fi

jobs=$(nproc)
toolchain=$root/cmake/mingw-w64-x86_64.cmake
host_cmake_dir=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake
host_flags=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir")

# Downloads and unpacks Debian's sources of package $1 (qt6-base by default) at version $2
# (the host's qt6-base) into $work/$3 (qtbase).
fetch_qt_sources() {
    local package=${1:-qt6-base} package_version=${2:-$qt_package_version} into=${3:-qtbase}
    local apt_dir=$work/apt codename
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    cat >"$apt_dir/sources.list.d/debian-src.sources" <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    # Every apt folder points into the cache, so the system's lists and caches stay as they are.
    local apt=(apt-get -q -o Dir::Etc::SourceList=/dev/null
        -o Dir::Etc::SourceParts="$apt_dir/sources.list.d" -o Dir::State::Lists="$apt_dir/lists"
        -o Dir::Cache="$apt_dir/cache")
    if [ "$(id -u)" -eq 0 ]; then
        # apt's download user cannot enter root's home; download as root instead of warning.
        apt+=(-o APT::Sandbox::User=root)
    fi
    "${apt[@]}" update
    rm -rf "$work/download" "${work:?}/$into"
    mkdir -p "$work/download"
    (cd "$work/download" &&
        { "${apt[@]}" source --download-only "$package=$package_version" ||
            "${apt[@]}" source --download-only "$package"; })
    local dsc
    dsc=$(ls "$work"/download/"$package"_*.dsc)
    case $dsc in
    *"_${qt_version}+"*) ;;
    *)
        echo "build-windows.sh: $dsc is not Qt $qt_version, the version of the host's tools" >&2
        exit 1
        ;;
    esac
    dpkg-source --no-check -x "$dsc" "$work/$into"
}

# Debian's sources leave out Qt's copy of the Wintab headers that the windows platform
# plugin compiles against (tablet input). Wine's own LGPL versions declare the same
# interface; they need two macros that Wine's headers define elsewhere and Wintab's headers
# define themselves.
add_wintab_headers() {
    local dir=$work/qtbase/src/3rdparty/wintab wine_headers=/usr/include/wine/wine/windows
    mkdir -p "$dir"
    {
        echo '#ifndef DECL_WINELIB_TYPE_AW'
        echo '#define DECL_WINELIB_TYPE_AW(type) typedef __MINGW_NAME_AW(type) type;'
        echo '#endif'
        echo '#ifndef WINELIB_NAME_AW'
        echo '#define WINELIB_NAME_AW(name) __MINGW_NAME_AW(name)'
        echo '#endif'
        echo '#ifndef API'
        echo '#define API WINAPI'
        echo '#endif'
        cat "$wine_headers/wintab.h"
    } >"$dir/wintab.h"
    cp "$wine_headers/pktdef.h" "$dir/pktdef.h"
}

build_qt() {
    if [ ! -f "$work/qtbase/CMakeLists.txt" ] || [ ! -f "$work/qtbase/src/3rdparty/wintab/wintab.h" ]; then
        fetch_qt_sources
        add_wintab_headers
    fi
    local started=$SECONDS
    # What the program does not use is left out: network, dbus, printsupport, xml. Qt SQL
    # keeps the size history, with the SQLite driver and Qt's own copy of SQLite (the other
    # drivers are off). OpenGL stays on: the windows platform plugin of Qt 6.4 does not
    # compile without it, and Qt Charts needs it.
    cmake -S "$work/qtbase" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" "${host_flags[@]}" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_sql=ON -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=OFF \
        -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF \
        -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF \
        -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
    nice -n 15 cmake --build "$work/build" -j "$jobs"
    rm -rf "$prefix"
    cmake --install "$work/build" >/dev/null
    echo "$((SECONDS - started))" >"$prefix/zemra-qt-build-seconds"
}

# Qt Charts from Debian's qt6-charts sources, of the version the host's qt6-charts-dev has,
# cross-built against the Windows Qt above and installed into the same prefix. Without
# Qt Quick on the build side, its QML module is left out by itself.
build_qt_charts() {
    local version
    version=$(dpkg-query -W -f='${Version}' qt6-charts-dev)
    fetch_qt_sources qt6-charts "$version" qtcharts
    cmake -S "$work/qtcharts" -B "$work/charts-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" "${host_flags[@]}" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    nice -n 15 cmake --build "$work/charts-build" -j "$jobs"
    cmake --install "$work/charts-build" >/dev/null
}

# GoogleTest from Debian's sources (the googletest package), cross-built into the same
# prefix so that the Windows build of the unit tests finds it as the Linux build does.
build_googletest() {
    local build=$work/googletest-build
    rm -rf "$build"
    cmake -S /usr/src/googletest -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF \
        -DBUILD_SHARED_LIBS=OFF >/dev/null
    nice -n 15 cmake --build "$build" -j "$jobs"
    cmake --install "$build" >/dev/null
    rm -rf "$build"
}

if [ ! -f "$prefix/$complete" ]; then
    echo "== Qt $qt_version for Windows: not in $prefix yet, building it (about 40 minutes on two cores)"
    build_qt
    build_qt_charts
    build_googletest
    rm -rf "$work"
    touch "$prefix/$complete"
    echo "== Qt for Windows built in $(cat "$prefix/zemra-qt-build-seconds") s, cached in $prefix"
else
    echo "== Qt $qt_version for Windows: reusing $prefix"
fi
if [ "$libraries_only" = true ]; then
    exit 0
fi

# The program and its unit tests, with the same compilers through Qt's toolchain file, which
# chains to ours. Qt's generated code comes from the host's tools of the same version.
build=$root/build-windows
flags=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEMRA_WERROR="${ZEMRA_WERROR:-OFF}"
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" "${host_flags[@]}" -DBUILD_TESTING=ON)
if command -v ccache >/dev/null; then
    flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
    # The precompiled headers: ccache takes them only with these sloppinesses.
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
fi
echo "== zemra for Windows: building into $build"
cmake -S . -B "$build" "${flags[@]}" >/dev/null
nice -n 10 cmake --build "$build" -j "$jobs"

# The runnable folder: what the installer installs, and what the ZIP holds.
app=$build/zemra-win64
rm -rf "$app"
cmake --install "$build" --prefix "$app" --strip >/dev/null
# The same folder with the unit tests and the Qt Test library beside the program.
tests=$build/zemra-win64-tests
rm -rf "$tests"
cp -r "$app" "$tests"
cp "$build/tests/zemra_tests.exe" "$prefix/bin/Qt6Test.dll" "$tests/"

(cd "$build" && cpack -G "NSIS;ZIP" >/dev/null)
rm -rf "$build/_CPack_Packages"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
echo "== Windows build ready:"
echo "   $app/zemra.exe (runs from that folder)"
echo "   $build/zemra-$version-win64.exe (installer)"
echo "   $build/zemra-$version-win64.zip"
echo "   scripts/test-windows.sh runs the tests under Wine"
