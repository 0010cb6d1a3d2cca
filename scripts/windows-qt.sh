#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows (MinGW-w64, posix threads) from the
# source of Debian's own qt6-base, the same version as the host's Qt (whose
# moc, rcc and uic the cross build uses), and installs it into a cache:
#   /var/cache/puzzle15/qt-<version>-mingw64-<hash of the recipe>/
# (~/.cache/puzzle15/ when not run as root; PUZZLE15_CACHE sets another).
# The hash covers the configure options, the toolchain file and the compiler
# version, so a changed recipe builds anew and an unchanged one never does.
# Prints the Qt prefix as its only line on standard output; logs go to stderr
# and to the cache's build.log. The download, cache, lock and build are
# shared with the web build's Qt (scripts/qt-cache.sh).
#
# Needs: qt6-base-dev, the MinGW-w64 posix compilers, dpkg-dev, cmake, ninja
# (scripts/windows.sh installs them before calling this).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$here/cmake/mingw-w64-x86_64.cmake
qt_name=windows-qt
# shellcheck source=scripts/qt-cache.sh
source "$here/scripts/qt-cache.sh"

# What the program and its tests use: Core, Gui, Widgets, Test; the windows
# and offscreen platforms, the windowsvista style. PNG stays because the tests
# read the icon from a PNG; the icon the program shows is drawn from XPM.
configure_options=(
    -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DFEATURE_optimize_size=ON
    "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections"
    "-DCMAKE_CXX_FLAGS=-ffunction-sections -fdata-sections"
    # Only the bundled libraries: nothing of the build machine's.
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_jpeg=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_icu=OFF
    # Windows draws text with its own font engine, but Qt builds the offscreen
    # platform (the tests' platform) only with FreeType: the bundled one.
    -DFEATURE_freetype=ON
    -DFEATURE_fontconfig=OFF
    # The qwindows plugin needs dynamicgl off when opengl is off.
    -DFEATURE_opengl=OFF
    -DFEATURE_dynamicgl=OFF
    -DFEATURE_vulkan=OFF
    # Debian's source leaves out src/3rdparty/wintab, which the Windows
    # plugin's tablet support needs.
    -DFEATURE_tabletevent=OFF
    # Modules the program does not use.
    -DFEATURE_network=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_ico=OFF
    # Parts of Core, Gui and Widgets that no window of the program shows but
    # that a static link keeps, because Qt refers to them: the embedded MIME
    # database, style sheets, the standard dialogs, the other calendars,
    # document readers and writers, and widgets the program never makes.
    # (The item views, main window, menu bar, tab bar and tab widget, spin
    # box and input dialog stay: Qt 6.4.2's Widgets or its Windows styles do
    # not compile without them.)
    -DFEATURE_mimetype_database=OFF
    -DFEATURE_sha3_fast=OFF
    -DFEATURE_style_stylesheet=OFF
    -DFEATURE_filedialog=OFF
    -DFEATURE_filesystemmodel=OFF
    -DFEATURE_colordialog=OFF
    -DFEATURE_fontdialog=OFF
    -DFEATURE_errormessage=OFF
    -DFEATURE_progressdialog=OFF
    -DFEATURE_wizard=OFF
    -DFEATURE_calendarwidget=OFF
    -DFEATURE_datetimeedit=OFF
    -DFEATURE_hijricalendar=OFF
    -DFEATURE_islamiccivilcalendar=OFF
    -DFEATURE_jalalicalendar=OFF
    -DFEATURE_textodfwriter=OFF
    -DFEATURE_textmarkdownreader=OFF
    -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_syntaxhighlighter=OFF
    -DFEATURE_textbrowser=OFF
    -DFEATURE_mdiarea=OFF
    -DFEATURE_dockwidget=OFF
    -DFEATURE_gestures=OFF
    -DFEATURE_lcdnumber=OFF
    -DFEATURE_dial=OFF
    -DFEATURE_keysequenceedit=OFF
    -DFEATURE_splashscreen=OFF
    -DFEATURE_toolbox=OFF
    -DFEATURE_undocommand=OFF
    -DFEATURE_splitter=OFF
    -DFEATURE_scroller=OFF
)

# The graphics scene and the command link button go too, but only before
# Qt 6.7: the Windows 11 style that 6.7 brings draws its drop shadows as
# graphics effects and does not compile without either. It also asks the
# application for its style sheet and does not link without the style-sheet
# style, which therefore stays from 6.7 on (the later option wins).
if older_than 6.7; then
    configure_options+=(-DFEATURE_graphicsview=OFF -DFEATURE_commandlinkbutton=OFF)
else
    configure_options+=(-DFEATURE_style_stylesheet=ON)
fi
# Before Qt 6.8 Windows' default font engine is GDI's and DirectWrite an
# opt-in; Qt 6.4.2 builds its DirectWrite font database only with Direct2D,
# yet the Windows plugin refers to it whenever directwrite3 is on: all three
# go. From 6.8 on DirectWrite is the default and Gui does not compile
# without it, so Qt's defaults stay.
if older_than 6.8; then
    configure_options+=(-DFEATURE_direct2d=OFF -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF)
fi

compiler_version=$(x86_64-w64-mingw32-g++-posix --version | head -1)
recipe_hash=$( { printf '%s\n' "$qt_deb_version" "$compiler_version" "${configure_options[@]}"; cat "$toolchain"; } \
    | sha256sum | cut -c1-12)
key=qt-$qt_version-mingw64-$recipe_hash
qt_build "$key" "static Qt $qt_version for Windows (on 2 cores about 20 minutes for Qt 6.4, 35 for Qt 6.8)" -- \
    "${configure_options[@]}" -DCMAKE_TOOLCHAIN_FILE="$toolchain"
