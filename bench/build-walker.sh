#!/usr/bin/env bash
# Builds the floor walker every benchmark is measured against into OUT.
#
#   bench/build-walker.sh OUT
#
# Its source is ${ORRELIN_IPDWALK_SOURCE:-../shared/bench/ipdwalk.c}, from the project's folder.
# Exits 2, saying so, when the source is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
walker_source=${ORRELIN_IPDWALK_SOURCE:-../shared/bench/ipdwalk.c}
if [ ! -f "$walker_source" ]; then
    echo "bench: the floor walker $walker_source is missing (set ORRELIN_IPDWALK_SOURCE)" >&2
    exit 2
fi
cc -O2 -o "$1" "$walker_source"
