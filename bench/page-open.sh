#!/usr/bin/env bash
# The browser page opening a generated backup in headless Chromium, against the native
# `orrelin-cli list` of the same file in the same run:
#
#   bench/page-open.sh                           # 1,000,000 records, 3 runs
#   ORRELIN_BENCH_RECORDS=200000 ORRELIN_BENCH_RUNS=5 bench/page-open.sh
#
# Builds the site into build-web/ (or $ORRELIN_WEB_BUILD_DIR) and the native tools into build/
# (or $ORRELIN_BUILD_DIR); puppeteer-core comes from the cache folder scripts/test-web.sh fills.
set -euo pipefail
cd "$(dirname "$0")/.."
web=${ORRELIN_WEB_BUILD_DIR:-build-web}
dir=${ORRELIN_BUILD_DIR:-build}
records=${ORRELIN_BENCH_RECORDS:-1000000}
runs=${ORRELIN_BENCH_RUNS:-3}
modules=${XDG_CACHE_HOME:-$HOME/.cache}/orrelin-web-npm
if [ ! -d "$modules/node_modules/puppeteer-core" ]; then
    echo "page-open: puppeteer-core is missing: run scripts/test-web.sh once" >&2
    exit 2
fi
scripts/build-site.sh "$web" >/dev/null
ORRELIN_BUILD_DIR=$dir scripts/build.sh orrelin-cli ipdgen >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$dir/tools/ipdgen" large "$work/bench.ipd" --records "$records" --seed 1 >/dev/null
NODE_PATH=$modules/node_modules node bench/page_open.js "$web/site" "$PWD/$dir/src/cli/orrelin-cli" \
    "$work/bench.ipd" "$runs"
