#!/usr/bin/env bash
# Runs every benchmark case once on a small backup, without checking targets: keeps the
# harness and its cases working. The real measurement is bench/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
walker=${ORRELIN_IPDWALK_SOURCE:-../shared/bench/ipdwalk.c}
if [ ! -f "$walker" ]; then
    echo "test-bench-smoke: the floor walker $walker is absent; skipped"
    exit 0
fi
ORRELIN_BENCH_RECORDS=2000 ORRELIN_BENCH_MAIL_RECORDS=2000 ORRELIN_BENCH_RUNS=1 ORRELIN_BENCH_NO_TARGETS=1 bench/run.sh
