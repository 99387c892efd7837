#!/usr/bin/env bash
# Times the jobs of bench/cases.txt on a generated backup against the floor walker.
#
#   bench/run.sh                    # 1,000,000 records, 3 runs per case
#   ORRELIN_BENCH_RECORDS=200000 ORRELIN_BENCH_RUNS=5 bench/run.sh
#   bench/run.sh --only list        # some cases only (names separated by commas)
#
# The cases of bench/mail-cases.txt then run the same way on a generated mail backup of
# ORRELIN_BENCH_MAIL_RECORDS (200000) email records, against the walker on that backup.
#
# Environment: ORRELIN_BENCH_RECORDS (1000000), ORRELIN_BENCH_SEED (1), ORRELIN_BENCH_RUNS (3),
# ORRELIN_BENCH_CASES (bench/cases.txt), ORRELIN_BENCH_MAIL_RECORDS (200000),
# ORRELIN_BENCH_MAIL_CASES (bench/mail-cases.txt), ORRELIN_IPDWALK_SOURCE (../shared/bench/ipdwalk.c),
# ORRELIN_BENCH_NO_TARGETS (set: report, never fail on
# a missed target), ORRELIN_BUILD_DIR (build). Exits 1 when a command fails or misses a target.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_BUILD_DIR:-build}
records=${ORRELIN_BENCH_RECORDS:-1000000}
seed=${ORRELIN_BENCH_SEED:-1}
runs=${ORRELIN_BENCH_RUNS:-3}
cases=${ORRELIN_BENCH_CASES:-bench/cases.txt}
mail_records=${ORRELIN_BENCH_MAIL_RECORDS:-200000}
mail_cases=${ORRELIN_BENCH_MAIL_CASES:-bench/mail-cases.txt}

targets=(orrelin-cli ipdgen)
[ -d "$dir/src/gui" ] && targets+=(orrelin)
ORRELIN_BUILD_DIR=$dir scripts/build.sh "${targets[@]}" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bench/build-walker.sh "$work/ipdwalk"

start=$(date +%s%N)
"$dir/tools/ipdgen" large "$work/bench.ipd" --records "$records" --seed "$seed"
echo "generated $records records in $(( ($(date +%s%N) - start) / 1000000 )) ms"
# The same backup as a .bbb archive: one deflated entry per database.
"$dir/tools/ipdgen" bbb "$work/bench.ipd" "$work/bench.bbb"

extra=()
[ -n "${ORRELIN_BENCH_NO_TARGETS:-}" ] && extra+=(--no-targets)
export PATH="$PWD/$dir/src/cli:$PWD/$dir/src/gui:$PWD/$dir/tools:$PATH"
status=0
python3 bench/bench.py "$work/ipdwalk" "$work/bench.ipd" "$cases" --archive "$work/bench.bbb" \
    --runs "$runs" "${extra[@]}" "$@" || status=$?
if python3 bench/bench.py --lists-cases "$mail_cases" "$@"; then
    rm -f "$work/bench.ipd" "$work/bench.bbb"
    "$dir/tools/ipdgen" mail "$work/mail.ipd" --records "$mail_records" --seed "$seed"
    echo "generated a mail backup of $mail_records email records"
    python3 bench/bench.py "$work/ipdwalk" "$work/mail.ipd" "$mail_cases" --runs "$runs" \
        "${extra[@]}" "$@" || status=$?
fi
exit $status
