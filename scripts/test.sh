#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, with warnings as errors: in an
# optimised Release build (the build a packager makes, where the optimiser finds warnings of its
# own; it also builds the bench and is the one whose installation is checked) and in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, failing on any report. The tests of the office
# database on a server start a PostgreSQL server of their own and stop it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

# No source file includes a header of an area above its own (also a test of each build).
scripts/check-layers.sh src

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DMERIDELL_WERROR=ON
cmake --build build-release -j"$jobs"
# The installation, the Debian package and the installed program started by an ordinary user.
scripts/test-install.sh build-release
ctest --test-dir build-release --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMERIDELL_SANITIZE=ON -DMERIDELL_BENCH=OFF -DMERIDELL_WERROR=ON
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
