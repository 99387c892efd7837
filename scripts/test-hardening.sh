#!/usr/bin/env bash
# Shows with the real orrelin-cli how it behaves when other programs meddle with its files, and
# fails when a case does not end as expected:
#   planted link      a link at the output name and at a temporary name the writer could try
#   taken name        the made export name taken while the export runs
#   unwritable folder an output folder the user may not write
#   truncated backup  the backup truncated while the job reads it
# The cases that need a moment inside the job stop it there with ORRELIN_TEST_STOP (a switch
# for tests only), make their change and let it go on.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_BUILD_DIR:-build}
ORRELIN_BUILD_DIR=$dir scripts/build.sh orrelin-cli ipdgen >/dev/null
cli=$PWD/$dir/src/cli/orrelin-cli
ipdgen=$PWD/$dir/tools/ipdgen

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
export XDG_CONFIG_HOME=$work/config LC_ALL=C
failed=0

# check NAME EXPECTED_CODE ACTUAL_CODE EXPECTED_STDERR_LINE (empty: none) [CONDITION_TEXT CONDITION]
check() {
    local name=$1 want=$2 got=$3 message=$4
    local err
    err=$(cat "$work/err")
    printf '%-18s exit %s  %s\n' "$name" "$got" "${err:-$(cat "$work/out")}"
    if [ "$got" != "$want" ] || [ "$err" != "$message" ]; then
        echo "  FAILED: expected exit $want and \"$message\"" >&2
        failed=1
    fi
}

expect() {
    if ! eval "$2"; then
        echo "  FAILED: $1" >&2
        failed=1
    fi
}

# Starts the command stopped at $1 (read or commit) in the background; sets $pid once it has
# stopped.
start_stopped() {
    local at=$1
    shift
    ORRELIN_TEST_STOP=$at "$@" >"$work/out" 2>"$work/err" &
    pid=$!
    until [ "$(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null)" = T ]; do
        kill -0 "$pid" 2>/dev/null || { echo "  FAILED: the job ended before it stopped" >&2; exit 1; }
        sleep 0.05
    done
}

finish() {
    kill -CONT "$pid"
    set +e
    wait "$pid"
    code=$?
    set -e
}

mkdir -p "$work/b" "$work/config"
chmod 755 "$work/b"
backup=$work/b/large.ipd
"$ipdgen" large "$backup" --records 2000 --seed 1
chmod 644 "$backup"
echo secret >"$work/victim"

# A link at the --output name is replaced by the new file, never written through; a link at
# the temporary name earlier versions used (".NAME.part-PID") is not touched.
ln -s "$work/victim" "$work/b/chosen.csv"
start_stopped read "$cli" export "$backup" --format csv --output "$work/b/chosen.csv"
ln -s "$work/victim" "$work/b/.chosen.csv.part-$pid"
finish
check "planted link" 0 "$code" ""
expect "the linked file was written through" '[ "$(cat "$work/victim")" = secret ]'
expect "the output is still a link" '[ ! -L "$work/b/chosen.csv" ] && [ -s "$work/b/chosen.csv" ]'
expect "the link at the old temporary name is gone" '[ -L "$work/b/.chosen.csv.part-$pid" ]'
rm -f "$work/b/.chosen.csv.part-$pid" "$work/b/chosen.csv"

# The name made for an export is taken by another file while the export runs: the export
# moves on to the next name and says which.
start_stopped commit "$cli" export "$backup" --format csv
temp=$(cd "$work/b" && ls -A | grep '^\.Orrelin_Export_.*\.csv\.part-')
taken=${temp#.}
taken=${taken%%.part-*}
echo earlier >"$work/b/$taken"
finish
check "taken name" 0 "$code" ""
expect "the export did not move on to ${taken%.csv}_2.csv" \
    '[ "$(cat "$work/out")" = "Export to: $work/b/${taken%.csv}_2.csv is complete." ]'
expect "the file that took the name was replaced" '[ "$(cat "$work/b/$taken")" = earlier ]'
rm -f "$work/b/Orrelin_Export_"*

# An output folder the user may not write (run as nobody when this is root, who may).
mkdir -p "$work/locked"
chmod 555 "$work/locked"
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
set +e
"${as_user[@]}" "$cli" export "$backup" --format csv --output "$work/locked/out.csv" \
    >"$work/out" 2>"$work/err"
code=$?
set -e
check "unwritable folder" 2 "$code" \
    "orrelin-cli: cannot write $work/locked/out.csv: Permission denied"
expect "a file was left in the folder" '[ -z "$(ls -A "$work/locked")" ]'

# The backup is truncated after the job opened it and before it read it.
start_stopped read "$cli" export "$backup" --format csv --output "$work/b/cut.csv"
truncate -s 100000 "$backup"
finish
check "truncated backup" 2 "$code" "orrelin-cli: $backup changed while it was being read"
expect "an output or temporary file was left" '[ -z "$(ls -A "$work/b" | grep -v large.ipd)" ]'

if [ "$failed" != 0 ]; then
    echo "test-hardening: a case failed" >&2
    exit 1
fi
echo "test-hardening: all cases as expected"
