#!/usr/bin/env bash
# Builds a static, single-threaded Qt for WebAssembly from the source of
# Debian's own qt6-base (the machine's version: its moc, rcc and uic are the
# host tools) with Debian's emscripten, and installs it into a cache:
#   /var/cache/puzzle15/qt-<version>-wasm-<hash of the recipe>/prefix
# (~/.cache/puzzle15/ when not run as root; PUZZLE15_CACHE sets another).
# The hash covers the Qt source version, the versions of emscripten, its
# compiler and binaryen, the configure options and the patches in
# patches/qt-wasm/, so a changed recipe builds anew and an unchanged one
# never does. Prints the Qt prefix as its only line on standard output; logs
# go to stderr and to the cache's build.log.
#
#   scripts/web-qt.sh           build (or find) the Qt
#   source scripts/web-qt.sh --env
#                               only set up emscripten's environment (EMSDK,
#                               EM_CACHE, PATH) for building against it
#
# Needs: qt6-base-dev, qt6-base-dev-tools, emscripten, binaryen, dpkg-dev,
# cmake, ninja (scripts/web.sh installs them before calling this).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
patches=$here/patches/qt-wasm
qt_name=web-qt
# shellcheck source=scripts/qt-cache.sh
source "$here/scripts/qt-cache.sh"

# Qt finds emscripten through an emsdk folder: EMSDK/.emscripten names the
# emscripten root (EMSDK/upstream/emscripten, which holds the CMake toolchain
# file). Debian installs emscripten without one, in /usr/share/emscripten:
# a folder of our own with a link stands in for it. Debian's own cache of
# emscripten's system libraries is read-only and lacks the variants this
# build needs: emscripten builds them, once, into a cache of its own in this
# folder.
emscripten_version=$(dpkg-query -W -f='${Version}' emscripten)
compiler_versions=$(dpkg-query -W -f='${Package} ${Version}\n' emscripten binaryen \
    "$(dpkg-query -W -f='${Depends}' emscripten | grep -o 'clang-[0-9]*' | head -1)")
export EMSDK=$cache_root/emsdk-$emscripten_version
export EM_CACHE=$EMSDK/cache
export EM_FROZEN_CACHE=0
case ":$PATH:" in
    *:/usr/share/emscripten:*) ;;
    *) export PATH=/usr/share/emscripten:$PATH ;;
esac
if [[ ! -f $EMSDK/.emscripten ]]; then
    mkdir -p "$EMSDK/upstream" "$EM_CACHE"
    ln -sfn /usr/share/emscripten "$EMSDK/upstream/emscripten"
    echo "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" >"$EMSDK/.emscripten.partial"
    mv "$EMSDK/.emscripten.partial" "$EMSDK/.emscripten"
fi
[[ ${1:-} == --env ]] && return 0

# What the program uses: Core, Gui and Widgets with the wasm platform, the
# Fusion style and accessibility; push buttons, radio buttons in a group box,
# labels, a line edit, a plain text edit, list views, tool tips, shortcuts and
# the context menus of its text boxes. Single-threaded, so that the page
# needs no cross-origin isolation. Without WebAssembly's own exceptions: with
# them, the JavaScript exception by which QApplication::exec() returns to the
# browser would run the destructors of everything on main()'s stack, the
# window included (the program catches its run-time errors with emscripten's
# JavaScript-based exceptions instead, cmake/web.cmake).
configure_options=(
    -G Ninja
    -DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    # No software bill of materials: nothing here reads it.
    -DQT_GENERATE_SBOM=OFF
    # -Oz for clang; no code of Qt's hardening options, which initialise
    # every local variable and check the standard library's every access.
    -DFEATURE_optimize_size=ON
    -DFEATURE_trivial_auto_var_init_pattern=OFF
    -DFEATURE_libcpp_hardening=OFF
    -DFEATURE_thread=OFF
    -DFEATURE_wasm_exceptions=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_zstd=OFF
    # Modules the program does not use.
    -DFEATURE_network=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_testlib=OFF
    # Parts of Core, Gui and Widgets that no window of the program shows
    # but that a static link keeps, because Qt refers to them: image
    # formats but PNG and XPM, pictures, the MIME
    # database, time zones, other calendars, rich text and CSS, document
    # readers and writers, session management, style sheets, dialogs, and
    # widgets the program never makes. (The Windows style stays: Qt 6.8's
    # Widgets include its header even without style sheets.)
    -DFEATURE_jpeg=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_ico=OFF
    -DFEATURE_imageformat_bmp=OFF
    -DFEATURE_imageformat_ppm=OFF
    -DFEATURE_imageformat_xbm=OFF
    -DFEATURE_movie=OFF
    -DFEATURE_picture=OFF
    -DFEATURE_pdf=OFF
    -DFEATURE_texthtmlparser=OFF
    -DFEATURE_cssparser=OFF
    -DFEATURE_sessionmanager=OFF
    -DFEATURE_desktopservices=OFF
    -DFEATURE_mimetype_database=OFF
    -DFEATURE_sha3_fast=OFF
    -DFEATURE_timezone=OFF
    -DFEATURE_hijricalendar=OFF
    -DFEATURE_islamiccivilcalendar=OFF
    -DFEATURE_jalalicalendar=OFF
    -DFEATURE_textodfwriter=OFF
    -DFEATURE_textmarkdownreader=OFF
    -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_style_stylesheet=OFF
    -DFEATURE_effects=OFF
    -DFEATURE_filedialog=OFF
    -DFEATURE_filesystemmodel=OFF
    -DFEATURE_colordialog=OFF
    -DFEATURE_fontdialog=OFF
    -DFEATURE_errormessage=OFF
    -DFEATURE_progressdialog=OFF
    -DFEATURE_inputdialog=OFF
    -DFEATURE_messagebox=OFF
    -DFEATURE_wizard=OFF
    -DFEATURE_calendarwidget=OFF
    -DFEATURE_datetimeedit=OFF
    -DFEATURE_syntaxhighlighter=OFF
    -DFEATURE_textbrowser=OFF
    -DFEATURE_mdiarea=OFF
    -DFEATURE_dockwidget=OFF
    -DFEATURE_mainwindow=OFF
    -DFEATURE_menubar=OFF
    -DFEATURE_toolbar=OFF
    -DFEATURE_statusbar=OFF
    -DFEATURE_sizegrip=OFF
    -DFEATURE_tabwidget=OFF
    -DFEATURE_tabbar=OFF
    -DFEATURE_combobox=OFF
    -DFEATURE_fontcombobox=OFF
    -DFEATURE_spinbox=OFF
    -DFEATURE_progressbar=OFF
    -DFEATURE_treeview=OFF
    -DFEATURE_tableview=OFF
    -DFEATURE_columnview=OFF
    -DFEATURE_treewidget=OFF
    -DFEATURE_tablewidget=OFF
    -DFEATURE_listwidget=OFF
    -DFEATURE_datawidgetmapper=OFF
    -DFEATURE_completer=OFF
    -DFEATURE_fscompleter=OFF
    -DFEATURE_undoview=OFF
    -DFEATURE_undocommand=OFF
    -DFEATURE_graphicsview=OFF
    -DFEATURE_graphicseffect=OFF
    -DFEATURE_commandlinkbutton=OFF
    -DFEATURE_gestures=OFF
    -DFEATURE_lcdnumber=OFF
    -DFEATURE_dial=OFF
    -DFEATURE_keysequenceedit=OFF
    -DFEATURE_splashscreen=OFF
    -DFEATURE_toolbox=OFF
    -DFEATURE_splitter=OFF
    -DFEATURE_scroller=OFF
    -DFEATURE_whatsthis=OFF
    -DFEATURE_statustip=OFF
    -DFEATURE_formlayout=OFF
    -DFEATURE_dialogbuttonbox=OFF
    -DFEATURE_rubberband=OFF
    -DFEATURE_stackedwidget=OFF
    # What the program needs, named so that configuring fails at once
    # should an option above take it away (the scroll bar, which the list
    # views and the text edit need, needs the slider, for one).
    -DFEATURE_accessibility=ON
    -DFEATURE_shortcut=ON
    -DFEATURE_imageformat_xpm=ON
    -DFEATURE_style_fusion=ON
    -DFEATURE_pushbutton=ON
    -DFEATURE_radiobutton=ON
    -DFEATURE_groupbox=ON
    -DFEATURE_label=ON
    -DFEATURE_lineedit=ON
    -DFEATURE_textedit=ON
    -DFEATURE_listview=ON
    -DFEATURE_tooltip=ON
    -DFEATURE_contextmenu=ON
)

recipe_hash=$( { printf '%s\n' "$qt_deb_version" "$compiler_versions" "${configure_options[@]}"
                 for patch in $(qt_patch_files "$patches"); do
                     echo "${patch##*/}"
                     cat "$patch"
                 done; } | sha256sum | cut -c1-12)
key=qt-$qt_version-wasm-$recipe_hash
qt_build "$key" "static Qt $qt_version for WebAssembly (on 2 cores about 12 minutes)" --patches "$patches" -- \
    "${configure_options[@]}"
