#!/usr/bin/env bash
# Builds everything for WebAssembly into build-web/ (or OUTDIR) with emscripten and prints the
# two folders made:
#
#   scripts/build-web.sh [OUTDIR]
#   -> build-web/site/   the page: open index.html from disk or any static server
#   -> build-web/npm/    the npm package of orrelin-cli for Node 18 or later:
#                        (cd build-web/npm && npm pack) && npx --yes ./orrelin-cli-*.tgz list FILE
#
# zlib, expat, libzip and libical for WebAssembly come from scripts/cross-deps.sh wasm (built
# once into a cache folder, some minutes the first time), so both read .bbb archives and write
# iCalendar. The page is put together by scripts/build-site.sh in the folder configured here.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/build-web}
mkdir -p "$out"
out=$(cd "$out" && pwd)
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs
if ! command -v emcmake >/dev/null; then
    echo "build-web: emscripten is missing: run scripts/install-deps.sh" >&2
    exit 1
fi

prefix=$("$here/scripts/cross-deps.sh" wasm)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Given each time: a new cache folder (new package versions) is taken up at once. CLI11 as for
# the Windows build: its headers alone, without the build system's C library headers.
emcmake cmake -S "$here" -B "$out" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DORRELIN_BUILD_GUI=OFF -DORRELIN_BUILD_TESTS=OFF -DCLI11_DIR="$here/cmake/mingw-w64" \
    -DORRELIN_CROSS_PREFIX="$prefix" >"$out/configure.log" 2>&1 ||
    { cat "$out/configure.log" >&2; exit 1; }
if grep -q "CMake Warning" "$out/configure.log"; then
    cat "$out/configure.log" >&2
    echo "build-web: the WebAssembly build lacks a library (above)" >&2
    exit 1
fi
site=$("$here/scripts/build-site.sh" "$out")
cmake --build "$out" -j "$jobs" --target orrelin-cli >&2

# The package: the program, a starter Node runs it by, the README and the licence of every
# library compiled in (the cross libraries', CLI11's and emscripten's C and C++ libraries').
npm=$out/npm
rm -rf "$npm"
mkdir -p "$npm/bin" "$npm/lib" "$npm/licenses"
cp "$out/src/cli/orrelin-cli.js" "$npm/lib/orrelin-cli.js"
cp "$here/src/cli/npm/orrelin-cli.js" "$npm/bin/orrelin-cli.js"
chmod +x "$npm/bin/orrelin-cli.js"
cp "$here/src/cli/npm/README.md" "$npm/README.md"
for license in "$prefix"/share/licenses/*/copyright; do
    name=${license%/copyright}
    cp "$license" "$npm/licenses/${name##*/}.txt"
done
cp /usr/share/doc/libcli11-dev/copyright "$npm/licenses/cli11.txt"
cp /usr/share/doc/emscripten/copyright "$npm/licenses/emscripten.txt"
version=$(sed -n 's/^project(Orrelin VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
cat >"$npm/package.json" <<EOF
{
  "name": "orrelin-cli",
  "version": "$version",
  "description": "Reads, exports, splits and merges BlackBerry IPD and BBB backups: Orrelin's command line in WebAssembly",
  "keywords": ["blackberry", "ipd", "bbb", "backup", "vcard", "icalendar", "csv"],
  "bin": { "orrelin-cli": "bin/orrelin-cli.js" },
  "files": ["bin", "lib", "licenses"],
  "engines": { "node": ">=18" }
}
EOF
echo "$site"
echo "$npm"
