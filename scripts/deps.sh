#!/usr/bin/env bash
# Installs the Debian packages that building (and, with --tests, testing)
# needs, and any further packages named, that are not installed yet. Run by
# play.sh, test.sh and windows.sh:
#   scripts/deps.sh [--tests] [PACKAGE...]
set -euo pipefail

build_packages=(g++ make cmake qt6-base-dev libgl-dev fonts-liberation)
test_packages=(xvfb xauth xdotool x11-utils imagemagick)
# Validating the menu entry and metadata, the Debian package, the Windows resources.
test_packages+=(desktop-file-utils appstream dpkg-dev file binutils-mingw-w64-x86-64 lintian man-db groff-base)
# Colour schemes and widget styles of Linux desktops: GTK's (its dark Adwaita)
# and the Adwaita styles for Qt.
test_packages+=(qt6-gtk-platformtheme adwaita-qt6)
# Benchmarks and start-up measurement (bench/, scripts/measure_startup.sh).
test_packages+=(libbenchmark-dev libxdamage-dev dbus-daemon)
# The program on the accessibility bus, read as a screen reader reads it.
test_packages+=(at-spi2-core python3-pyatspi)
# ... and in-process, through Qt's private accessibility interface.
test_packages+=(qt6-base-private-dev)
# The program as a native Wayland client of a headless compositor.
test_packages+=(weston qt6-wayland)

wanted=("${build_packages[@]}")
for argument in "$@"; do
    if [[ $argument == --tests ]]; then
        wanted+=("${test_packages[@]}")
    else
        wanted+=("$argument")
    fi
done

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    if ((EUID == 0)); then
        as_root=()
    elif command -v sudo >/dev/null; then
        as_root=(sudo)
    else
        echo "These packages are missing and neither root nor sudo is at hand: ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
