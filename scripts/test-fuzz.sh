#!/usr/bin/env bash
# Builds the libFuzzer target with clang into build-fuzz/ (or $ORRELIN_FUZZ_BUILD_DIR), replays
# fuzz/regressions/, then fuzzes for $ORRELIN_FUZZ_SECONDS seconds (10 by default) from the
# seeds and the bundled sample. Fails on a crash, a leak, a timeout or a broken rule; the input
# that caused it is copied into fuzz/regressions/ so that it can be committed with the fix.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_FUZZ_BUILD_DIR:-build-fuzz}
seconds=${ORRELIN_FUZZ_SECONDS:-10}

if ! command -v clang++ >/dev/null; then
    echo "test-fuzz: clang++ is missing: run scripts/install-deps.sh" >&2
    exit 1
fi
if [ ! -f "$dir/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DORRELIN_BUILD_FUZZ=ON -DORRELIN_BUILD_GUI=OFF -DORRELIN_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$dir" --target orrelin_fuzz_backup -j "$(nproc)"
fuzzer="$dir/fuzz/orrelin_fuzz_backup"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/artifacts" fuzz/corpus-run

shopt -s nullglob
regressions=(fuzz/regressions/*)
if [ ${#regressions[@]} -gt 0 ]; then
    "$fuzzer" "${regressions[@]}" >"$work/replay.log" 2>&1 || {
        tail -n 40 "$work/replay.log"
        echo "test-fuzz: an input in fuzz/regressions/ fails again"
        exit 1
    }
fi

status=0
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" fuzz/corpus-run fuzz/seeds samples \
    >"$work/fuzz.log" 2>&1 || status=$?
artifacts=("$work"/artifacts/*)
if [ "$status" -ne 0 ] || [ ${#artifacts[@]} -gt 0 ]; then
    tail -n 60 "$work/fuzz.log"
    for a in "${artifacts[@]}"; do
        cp "$a" fuzz/regressions/
        echo "test-fuzz: kept fuzz/regressions/$(basename "$a")"
    done
    echo "test-fuzz: the fuzzer failed (exit $status)"
    exit 1
fi
grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$work/fuzz.log" | tail -n 1 || true
echo "test-fuzz: no crash in ${seconds} s"
