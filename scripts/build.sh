#!/usr/bin/env bash
# Configures and builds into build/ (or $ORRELIN_BUILD_DIR), warnings as errors.
#   scripts/build.sh [TARGET...]   # everything, or just the targets named
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_BUILD_DIR:-build}
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORRELIN_WERROR=ON >/dev/null
elif ! grep -qx 'ORRELIN_WERROR:BOOL=ON' "$dir/CMakeCache.txt"; then
    # A folder configured before the option existed, or by hand without it.
    cmake -S . -B "$dir" -DORRELIN_WERROR=ON >/dev/null
fi
if [ $# -gt 0 ]; then
    cmake --build "$dir" -j "$(nproc)" --target "$@"
else
    cmake --build "$dir" -j "$(nproc)"
fi
