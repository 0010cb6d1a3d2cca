#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite without a
# display. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --tests
# A warning fails the build here, where every change is tested.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2

# The same suite again, built with AddressSanitizer (leak checking on) and
# UndefinedBehaviorSanitizer; any finding fails its test.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPUZZLE15_SANITIZE=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build-asan -j2
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j2
