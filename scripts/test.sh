#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite without a
# display. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --tests
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
