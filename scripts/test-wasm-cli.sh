#!/usr/bin/env bash
# orrelin-cli compiled to WebAssembly, run by Node, against the native one: builds build-web/
# (scripts/build-web.sh; the cross-built libraries come from the cache once built), then
# scripts/compare-outputs.sh runs every command with the native build as the reference and the
# npm package's program as the candidate, byte for byte, on the sample, the corpus, the damaged
# copies, .bbb archives of both layouts (and the refused ones) and a generated backup. Last, the
# packed package (`npm pack`) is run the way a user runs it, by npx, with no registry.
#
# Skips (exit 0) with a message where emscripten is absent.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
web=${ORRELIN_WEB_BUILD_DIR:-build-web}
[[ $web = /* ]] || web=$here/$web
native=${ORRELIN_BUILD_DIR:-build}
[[ $native = /* ]] || native=$here/$native
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
if ! command -v emcc >/dev/null; then
    echo "test-wasm-cli: SKIPPED: emscripten is absent (scripts/install-deps.sh installs it)"
    exit 0
fi

echo "== the WebAssembly build"
started=$SECONDS
mkdir -p "$web"
scripts/build-web.sh "$web" >/dev/null 2>"$web/build.log" || { cat "$web/build.log" >&2; exit 1; }
echo "built in $((SECONDS - started)) s"
cli=$web/npm/bin/orrelin-cli.js
cmake --build "$native" -j "$jobs" --target orrelin-cli ipdgen >/dev/null

echo "== .bbb archives and a generated backup"
archives=$web/test-archives
made=$(scripts/make-test-archives.sh "$native/tools/ipdgen" "$archives")
inputs=()
while read -r archive; do
    inputs+=(--input "$archive")
done <<<"$made"
# A generated backup as one more input (the fewer variants): the commands of --large, each
# started by Node, would take several minutes.
"$native/tools/ipdgen" large "$archives/generated.ipd" --records 20000 --seed 1 >/dev/null
inputs+=(--input "$archives/generated.ipd")

echo "== the WebAssembly command line against the native one"
status=0
scripts/compare-outputs.sh --reference-build "$native" --candidate-cli "$cli" "${inputs[@]}" | tee "$web/compare.log" || status=$?
if [ "$status" -ne 0 ]; then
    scripts/show-kept-cases.sh "$web/compare.log"
    exit "$status"
fi

echo "== the packed package, run by npx"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$web/npm" && npm pack --silent --pack-destination "$work" >/dev/null)
tarball=$(ls "$work"/orrelin-cli-*.tgz)
"$native/src/cli/orrelin-cli" list "$here/samples/sample.ipd" >"$work/native.txt"
# An npm cache of its own and no registry to reach: the tarball alone must do.
(cd "$work" && npm_config_cache="$work/npm-cache" npx --yes --offline "./${tarball##*/}" \
    list "$here/samples/sample.ipd" >"$work/npx.txt")
cmp "$work/native.txt" "$work/npx.txt" ||
    { echo "test-wasm-cli: npx of the packed package lists otherwise than orrelin-cli" >&2; exit 1; }
echo "npx ./${tarball##*/} list: the same as the native orrelin-cli"
