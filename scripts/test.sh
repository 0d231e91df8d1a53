#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in a normal build and once
# in a build with AddressSanitizer and UndefinedBehaviorSanitizer, failing on any report.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

# No source file includes a header of an area above its own (also a test of each build).
scripts/check-layers.sh src

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMERIDELL_SANITIZE=ON -DMERIDELL_BENCH=OFF
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
