#!/usr/bin/env bash
# Writes the .bbb archives of the bundled sample that the cross-built programs are compared on
# (both layouts, deflated and stored, partly encrypted, encrypted, BlackBerry 10) into OUTDIR,
# emptied first, and prints their paths, one a line:
#
#   scripts/make-test-archives.sh IPDGEN OUTDIR
set -euo pipefail
ipdgen=${1:?usage: $0 IPDGEN OUTDIR}
out=${2:?usage: $0 IPDGEN OUTDIR}
cd "$(dirname "$0")/.."
rm -rf "$out"
mkdir -p "$out"
while read -r name options; do
    # shellcheck disable=SC2086
    "$ipdgen" bbb samples/sample.ipd "$out/$name.bbb" $options >/dev/null
    echo "$out/$name.bbb"
done <<'LIST'
desktop
desktop-partly-encrypted-stored --kind partly-encrypted --store
mac-stored --layout mac --store
encrypted --kind encrypted
bb10 --kind bb10
LIST
