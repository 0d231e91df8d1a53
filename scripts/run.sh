#!/usr/bin/env bash
# Installs what is missing, builds the program into build/app and starts it there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target meridell -j"$(nproc)"
exec build/app/meridell
