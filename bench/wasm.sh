#!/usr/bin/env bash
# Times orrelin-cli compiled to WebAssembly (the npm package's program, run by Node) against the
# native orrelin-cli in the same run, on the generated backup: the cases of bench/wasm-cases.txt
# (list and the whole file's CSV export; target: at most 2 times native).
#
#   bench/wasm.sh                               # 1,000,000 records, 3 runs a case
#   ORRELIN_BENCH_RECORDS=200000 bench/wasm.sh
#
# Builds build/ (or $ORRELIN_BUILD_DIR) and, when it has no package yet, build-web/ (or
# $ORRELIN_WEB_BUILD_DIR) with scripts/build-web.sh. Otherwise as bench/run.sh: the same
# environment, walker and table.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_BUILD_DIR:-build}
web=${ORRELIN_WEB_BUILD_DIR:-build-web}
[[ $web = /* ]] || web=$PWD/$web
records=${ORRELIN_BENCH_RECORDS:-1000000}
seed=${ORRELIN_BENCH_SEED:-1}
runs=${ORRELIN_BENCH_RUNS:-3}

ORRELIN_BUILD_DIR=$dir scripts/build.sh orrelin-cli ipdgen >/dev/null
[ -f "$web/npm/bin/orrelin-cli.js" ] || scripts/build-web.sh "$web" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bench/build-walker.sh "$work/ipdwalk"
mkdir -p "$work/bin"
ln -s "$web/npm/bin/orrelin-cli.js" "$work/bin/orrelin-cli-wasm"
"$dir/tools/ipdgen" large "$work/bench.ipd" --records "$records" --seed "$seed"
echo "generated $records records; node $(node --version)"

extra=()
[ -n "${ORRELIN_BENCH_NO_TARGETS:-}" ] && extra+=(--no-targets)
export PATH="$work/bin:$PWD/$dir/src/cli:$PATH"
python3 bench/bench.py "$work/ipdwalk" "$work/bench.ipd" bench/wasm-cases.txt --runs "$runs" \
    "${extra[@]}" "$@"
