#!/usr/bin/env bash
# Puts the browser page together in OUTDIR/site/ from src/web/site/ and the WebAssembly module
# OUTDIR/src/web/orrelin-web.js (built first when missing):
#
#   scripts/build-site.sh build-web       # then open build-web/site/index.html
#
# The page loads nothing from elsewhere and works opened from disk: the module (the wasm inside
# it) and the worker's script become one text in worker-source.js, which the page starts as a
# worker from a blob, and the tree's images are data in icons.css. No bundler is needed.
set -euo pipefail
# Debian's emscripten runs its JavaScript tools with node, which finds Debian's node modules
# (acorn) only here.
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: $0 OUTDIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)
module=$out/src/web/orrelin-web.js

if [ ! -f "$out/CMakeCache.txt" ] || ! grep -q '^ORRELIN_CROSS_PREFIX:.*=.' "$out/CMakeCache.txt"; then
    # A configuration of our own while the build folder has none made with the cross-built
    # libraries (scripts/build-web.sh makes that one): the core without .bbb archives and
    # iCalendar, pkg-config kept from the build machine's libraries (here and when the build
    # configures again).
    export PKG_CONFIG_LIBDIR=/nonexistent PKG_CONFIG_PATH=''
fi
if [ ! -f "$out/CMakeCache.txt" ]; then
    emcmake cmake -S "$here" -B "$out" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DORRELIN_BUILD_GUI=OFF -DORRELIN_BUILD_TESTS=OFF \
        -DCLI11_DIR=/usr/share/cmake/CLI11 >&2
fi
cmake --build "$out" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-2}" --target orrelin-web >&2

site=$out/site
rm -rf "$site"
mkdir -p "$site"
cp "$here"/src/web/site/{index.html,page.js,orrelin.css} "$site/"
node - "$module" "$here/src/web/site/worker.js" "$here/resources/icons" "$site" <<'JS'
const fs = require("fs");
const path = require("path");
const [module, worker, icons, site] = process.argv.slice(2);
const source = fs.readFileSync(module, "utf8") + "\n" + fs.readFileSync(worker, "utf8");
fs.writeFileSync(path.join(site, "worker-source.js"),
  "// The worker's script: the core's WebAssembly module and the worker around it.\n" +
  "var ORRELIN_WORKER_SOURCE = " + JSON.stringify(source) + ";\n");
let css = "";
for (const file of fs.readdirSync(icons).sort()) {
  if (!file.endsWith(".svg")) continue;
  const data = fs.readFileSync(path.join(icons, file)).toString("base64");
  css += `.icon-${file.slice(0, -4)} { background-image: url("data:image/svg+xml;base64,${data}"); }\n`;
}
fs.writeFileSync(path.join(site, "icons.css"), css);
JS
echo "$site"
