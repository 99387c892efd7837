#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
dir=${ORRELIN_BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
(cd "$dir" && ctest --output-on-failure -j "$(nproc)")
for extra in scripts/test-*.sh; do
    [ -x "$extra" ] || continue
    echo "== $extra"
    "$extra"
done
