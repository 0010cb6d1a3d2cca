#!/usr/bin/env bash
# Installs what is missing, builds the game in Release and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build-release -j2
exec build-release/puzzle15
