#!/usr/bin/env bash
# The browser page in Chromium (puppeteer-core, Debian's /usr/bin/chromium, no browser
# downloaded), opened from disk and held against the native orrelin-cli: tree, panes, find,
# every export button, a split, a merge and a service book save byte for byte, a refusal, an
# archive, no request leaving the page, no console error. Builds the site in build-web/ when
# needed; screenshots go to build-web/.
# Skips, saying so, where Chromium or emscripten is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
web=${ORRELIN_WEB_BUILD_DIR:-build-web}
native=${ORRELIN_BUILD_DIR:-build}
if ! command -v emcc >/dev/null || [ ! -x /usr/bin/chromium ]; then
    echo "test-web: skipped: needs emscripten and /usr/bin/chromium"
    exit 0
fi
scripts/build-site.sh "$web" >/dev/null
[ -x "$native/src/cli/orrelin-cli" ] && [ -x "$native/tools/ipdgen" ] ||
    ORRELIN_BUILD_DIR=$native scripts/build.sh orrelin-cli ipdgen >/dev/null
# puppeteer-core in a folder of the cache, never in the tree.
modules=${XDG_CACHE_HOME:-$HOME/.cache}/orrelin-web-npm
if [ ! -d "$modules/node_modules/puppeteer-core" ]; then
    mkdir -p "$modules"
    (cd "$modules" && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund puppeteer-core@22 >&2)
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp samples/sample.ipd "$work/sample.ipd"
"$native/tools/ipdgen" bbb samples/sample.ipd "$work/sample.bbb" >/dev/null
mkdir -p "$web/test"
NODE_PATH=$modules/node_modules node tests/web/page_test.js "$web/site" "$here/$native/src/cli/orrelin-cli" \
    "$work/sample.ipd" "$work/sample.bbb" "$here/$web/test"
