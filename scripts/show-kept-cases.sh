#!/usr/bin/env bash
# After a compare-outputs.sh run against another system's build that found differences: what
# the candidate said in each case it kept (exit code and the start of its stderr), for the log
# of a run elsewhere.
#
#   scripts/show-kept-cases.sh COMPARE.LOG
set -uo pipefail
kept=$(sed -n 's/^outputs kept in \([^ ]*\) .*/\1/p' "$1")
for case in "${kept:-/nonexistent}"/cand/*; do
    [ -d "$case" ] || continue
    echo "-- case ${case##*/}: exit $(cat "$case/exit"); stderr:"
    head -c 2000 "$case/stderr"
done
