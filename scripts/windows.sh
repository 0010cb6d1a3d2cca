#!/usr/bin/env bash
# Builds Пъзел 15 for 64-bit Windows on Debian, into build-windows/:
#   puzzle15.exe                    the whole program in one file
#   puzzle15-1.00-win64.zip         the program, its licence and Qt's notice
#   puzzle15-1.00-win64-setup.exe   the per-user installer
# It installs what is missing (through apt-get, as root or with sudo) and
# builds a static Qt for Windows once (scripts/windows-qt.sh, cached under
# /var/cache/puzzle15/).
#
#   scripts/windows.sh            build
#   scripts/windows.sh --tests    build, then run the Windows tests under Wine
#                                 (the unit suites, the program played in
#                                 Xvfb, the installer, a second build)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${PUZZLE15_WINDOWS_BUILD:-$here/build-windows}
tests=no
[[ ${1:-} == --tests ]] && tests=yes

packages=(cmake ninja-build dpkg-dev qt6-base-dev file zip nsis
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
if [[ $tests == yes ]]; then
    packages+=(wine64 xvfb xauth xdotool x11-utils imagemagick fonts-liberation python3-pefile)
fi
"$here/scripts/deps.sh" "${packages[@]}"

started=$(date +%s)
qt_prefix=$("$here/scripts/windows-qt.sh")
qt_source_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
qt_ready=$(date +%s)

# configure_windows BUILD_DIR: the program (and, with --tests, its tests)
# against the static Qt. Qt's toolchain file chains our MinGW one, named here
# so that a cached Qt does not depend on where it was built from. Debian's Qt
# source (6.8 on) leaves static plugins out unless a project asks for them:
# without the platform plugin the program cannot open a window.
configure_windows() {
    cmake -S "$here" -B "$1" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DQT_SKIP_AUTO_PLUGIN_INCLUSION=OFF \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
        -DBUILD_TESTING="$([[ $tests == yes ]] && echo ON || echo OFF)" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$here/tests/windows/wine-run.sh;$1/wine" \
        -DPUZZLE15_QT_SOURCE_VERSION="$qt_source_version" >"$1/configure.log" 2>&1 \
        || { tail -40 "$1/configure.log" >&2; exit 1; }
}
mkdir -p "$build"
configure_windows "$build"
cmake --build "$build" --parallel 2
(cd "$build" && cpack -C MinSizeRel >cpack.log 2>&1) || { tail -40 "$build/cpack.log" >&2; exit 1; }
built=$(date +%s)

exe=$build/puzzle15.exe
echo "puzzle15.exe: $(stat -c %s "$exe") bytes; imports: $(x86_64-w64-mingw32-objdump -p "$exe" \
    | sed -n 's/^\s*DLL Name: //p' | sort -f | tr '\n' ' ')"
ls -l "$build"/puzzle15-*-win64.zip "$build"/puzzle15-*-win64-setup.exe
echo "Qt ready after $((qt_ready - started)) s, program and packages after $((built - qt_ready)) s more"

if [[ $tests == yes ]]; then
    # A second build of the same sources elsewhere, for the byte-for-byte
    # comparison (tests/windows/check_reproducible.sh).
    second=$build-second
    rm -rf "$second"
    mkdir -p "$second"
    configure_windows "$second"
    cmake --build "$second" --parallel 2 --target puzzle15 >"$second/build.log" 2>&1 \
        || { tail -40 "$second/build.log" >&2; exit 1; }
    ctest --test-dir "$build" --output-on-failure --timeout 900
fi
