#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the window tests on a virtual X screen
# (Xvfb), so that the ones that need a screen the size of a real one run instead of skipping.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
dir=${ORRELIN_BUILD_DIR:-build}
if ! command -v xvfb-run >/dev/null; then
    echo "test.sh: xvfb-run is missing: run scripts/install-deps.sh" >&2
    exit 1
fi
(cd "$dir" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure -j "$(nproc)")
export QT_QPA_PLATFORM=offscreen
for extra in scripts/test-*.sh; do
    [ -x "$extra" ] || { echo "test.sh: $extra is not executable" >&2; exit 1; }
    echo "== $extra"
    "$extra"
done
