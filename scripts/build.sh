#!/usr/bin/env bash
# Configures and builds into build/ (or $ORRELIN_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_BUILD_DIR:-build}
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
