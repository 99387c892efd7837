#!/usr/bin/env bash
# Installs what is missing, builds, and opens FILE (the bundled sample when none is given).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
file=${1:-$here/samples/sample.ipd}
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
dir=$here/${ORRELIN_BUILD_DIR:-build}
gui=$dir/src/gui/orrelin
if [ -x "$gui" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    exec "$gui" "$file"
fi
if [ -x "$gui" ]; then
    echo "No display to show the window on: here is the summary of $file instead."
else
    echo "Summary of $file:"
fi
"$dir/src/cli/orrelin-cli" list "$file" | grep -v $'^\t'
