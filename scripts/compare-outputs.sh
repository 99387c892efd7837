#!/usr/bin/env bash
# Runs every command of orrelin-cli (and ipdgen) with two builds on the same inputs and compares
# what they print and write, byte for byte: the reference revision against a candidate.
#
#   scripts/compare-outputs.sh [--reference REV] [--candidate DIR-OR-REV] [--large N] [--keep]
#                              [--reference-build DIR] [--candidate-cli PROGRAM] [--formats LIST]
#                              [--input FILE]...
#
# --reference REV       the revision whose outputs are right (default 9d2c21b: older ones
#                       swap a received message's times); built from `git archive` under
#                       ~/.cache/orrelin-compare/SHA, Release, without window or tests, once
# --candidate DIR|REV   a checkout, built in its ${ORRELIN_BUILD_DIR:-build} (default: the checkout
#                       this script lives in), or a revision, built like the reference
# --large N             also a backup of N records written by the reference's ipdgen (seed 1)
# --keep                keep the work folder even when everything is equal
# --reference-build DIR the orrelin-cli and ipdgen of the build folder DIR (built there when
#                       needed) are the reference, instead of a revision's
# --candidate-cli PROG  PROG is run as the candidate's orrelin-cli (a wrapper that runs another
#                       system's build, say); the candidate's ipdgen is then the reference's
# --formats LIST        the export formats to compare, separated by blanks (default: every one
#                       the reference has of txt csv vcard ics json android-sms android-calls
#                       html mbox vcard3 google-csv outlook-csv; vcard3 is --format vcard
#                       --vcard-version 3.0); the requests that name a format left out are left
#                       out too
# --input FILE          also FILE (a backup or a .bbb archive) as an input, with the fewer
#                       variants of the damaged copies; may be given more than once
#
# Inputs: samples/sample.ipd, every file of ${ORRELIN_CORPUS_DIR:-../shared/corpus} (when it
# exists), the large backup, and damaged copies of the sample: cut short inside a record and inside
# a record's header, a garbage byte in the second name-table length and one in the last. On each:
# list (with and without --tz), show of every record (of a database of more than 200 records: its
# first, every 10007th and its last record) with and without --tz +3, export in every format for
# the whole file, each database and its first and last record with --tz GMT and --tz +3 and, for
# vcard, ics and json, --codepage 1251; split and merge with a few choices of databases and records
# (merge with the file itself as the second tree); servicebook saves of each entry, alone and with
# all entries, unchanged, edited and with a refused edit. The damaged copies get fewer variants
# (see compare_backup). Then: requests both builds must refuse, a pass that takes the time zone
# from a stored setting instead of --tz, merges of the sample with each other input, and ipdgen's
# sample and large outputs.
#
# Each command runs in a folder of its own (outputs go to fixed relative names there), in a fixed
# environment (C locale, UTC, a settings folder of the run's own), so both builds print the same
# paths and no command ever finds an output already there. What is compared: stdout, stderr,
# the exit code and every file written. iCalendar files carry a DTSTAMP of the time of the export
# and the command line has no way to fix it, so DTSTAMP lines are masked when comparing .ics files.
#
# Prints one line per difference and "N comparisons, M differ"; exits 0 when all is equal, 1
# when something differs (the work folder is then kept and named), 2 on a usage or build error.
# Without --large about 1000 commands run with each build, some 80 s of processor time on two
# cores; --large 1000000 adds about 650 commands, about 9 minutes of processor time in all.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
reference=9d2c21b
candidate=$here
large=
keep=
reference_build=
candidate_cli=
formats="txt csv vcard ics json android-sms android-calls html mbox vcard3 google-csv outlook-csv"
formats_given=
extra_inputs=()

usage() {
    sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'
}

while [ $# -gt 0 ]; do
    case $1 in
        --reference | --candidate | --large | --reference-build | --candidate-cli | --formats | --input)
            if [ $# -lt 2 ] || [ -z "$2" ]; then
                echo "compare-outputs: $1 needs a value" >&2
                exit 2
            fi
            case $1 in
                --reference) reference=$2 ;;
                --candidate) candidate=$2 ;;
                --large) large=$2 ;;
                --reference-build) reference_build=$2 ;;
                --candidate-cli) candidate_cli=$2 ;;
                --formats) formats=$2; formats_given=1 ;;
                --input) extra_inputs+=("$(cd "$(dirname "$2")" && pwd)/${2##*/}") ;;
            esac
            shift 2 ;;
        --keep) keep=1; shift ;;
        -h | --help) usage; exit 0 ;;
        *) echo "compare-outputs: unknown argument $1" >&2; usage >&2; exit 2 ;;
    esac
done
if [ -n "$large" ] && ! [[ $large =~ ^[1-9][0-9]*$ ]]; then
    echo "compare-outputs: --large needs a whole number of records, not $large" >&2
    exit 2
fi

cache=${XDG_CACHE_HOME:-$HOME/.cache}/orrelin-compare
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# A revision is built here only to run it: warnings GCC raises at -O3 on correct code (out of
# bounds copies it cannot rule out) stay warnings instead of stopping the build.
relaxed=()
if ! "${CXX:-c++}" --version 2>/dev/null | grep -qi clang; then
    relaxed=("-DCMAKE_CXX_FLAGS=-Wno-error=array-bounds -Wno-error=stringop-overflow -Wno-error=restrict")
fi

# Builds orrelin-cli and ipdgen of revision $1 in the cache (once) and sets $built to its build folder.
build_revision() {
    local sha
    if ! sha=$(git -C "$here" rev-parse --verify --quiet "$1^{commit}"); then
        echo "compare-outputs: no revision $1 in $here" >&2
        exit 2
    fi
    local base=$cache/$sha
    built=$base/build
    mkdir -p "$cache"
    (
        flock 9
        if [ -f "$base/built" ]; then exit 0; fi
        echo "== building $1 ($sha) in $base" >&2
        rm -rf "$base/src"
        mkdir -p "$base/src"
        git -C "$here" archive "$sha" | tar -x -C "$base/src"
        cmake -S "$base/src" -B "$built" "${generator[@]}" "${launcher[@]}" "${relaxed[@]}" \
            -DCMAKE_BUILD_TYPE=Release -DORRELIN_BUILD_GUI=OFF -DORRELIN_BUILD_TESTS=OFF >/dev/null
        cmake --build "$built" -j "$jobs" --target orrelin-cli ipdgen >/dev/null
        touch "$base/built"
    ) 9>"$cache/$sha.lock" || { echo "compare-outputs: building $1 failed" >&2; exit 2; }
}

# Builds orrelin-cli and ipdgen in the checkout $1 and sets $built to its build folder.
build_checkout() {
    local dir=${ORRELIN_BUILD_DIR:-build}
    [[ $dir = /* ]] || dir=$1/$dir
    built=$dir
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$1" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
    cmake --build "$dir" -j "$jobs" --target orrelin-cli ipdgen >/dev/null ||
        { echo "compare-outputs: building $1 failed" >&2; exit 2; }
}

if [ -n "$reference_build" ]; then
    reference_build=$(cd "$reference_build" && pwd)
    ORRELIN_BUILD_DIR=$reference_build build_checkout "$here"
else
    build_revision "$reference"
fi
ref_cli=$built/src/cli/orrelin-cli
ref_gen=$built/tools/ipdgen
# By default the formats the reference has: a revision older than a format cannot compare it.
if [ -z "$formats_given" ]; then
    ref_help=$("$ref_cli" export --help 2>&1 || true)
    kept=
    for format in $formats; do
        word=$format
        [ "$format" = vcard3 ] && word=--vcard-version
        if grep -qw -e "$word" <<<"$ref_help"; then
            kept+=" $format"
        else
            echo "compare-outputs: the reference has no $format export; not compared"
        fi
    done
    formats=${kept# }
fi
if [ -n "$candidate_cli" ]; then
    cand_cli=$(cd "$(dirname "$candidate_cli")" && pwd)/${candidate_cli##*/}
    cand_gen=$ref_gen
else
    if [ -d "$candidate" ]; then
        candidate=$(cd "$candidate" && pwd)
        build_checkout "$candidate"
    else
        build_revision "$candidate"
    fi
    cand_cli=$built/src/cli/orrelin-cli
    cand_gen=$built/tools/ipdgen
fi
echo "reference: $ref_cli"
echo "candidate: $cand_cli"

work=$(mktemp -d "${TMPDIR:-/tmp}/orrelin-compare.XXXXXX")
inputs=$work/inputs
mkdir -p "$inputs" "$work/kept/ref" "$work/kept/cand" "$work/home" "$work/settings/none" \
    "$work/settings/stored"
printf '[TZ]\ntzd=-5\n' >"$work/settings/stored/orrelin_beta.conf"
settings=$work/settings/none

# The fixed environment every command runs in, in folder $1; $settings is the folder holding (or
# not) a stored time-zone setting.
run_env() {
    local dir=$1
    shift
    env -i -C "$dir" PATH=/usr/bin:/bin ${LD_LIBRARY_PATH:+LD_LIBRARY_PATH=$LD_LIBRARY_PATH} \
        HOME="$work/home" XDG_CONFIG_HOME="$settings" LC_ALL=C.UTF-8 TZ=UTC "$@"
}

comparisons=0
differ=0
cases=0
compared=0     # cases up to this one are compared
labels=()      # what each case ran, by case number
light=         # set while a damaged copy is compared: fewer variants
made=0         # cases whose folders exist
batch=1        # cases run before their outputs are compared (1 for the large backup)

finish() {
    echo "$comparisons comparisons, $differ differ"
    if [ "$differ" -gt 0 ] || [ -n "$keep" ]; then
        echo "outputs kept in $work/kept (ref/N and cand/N: stdout, stderr, exit, out/)"
    else
        rm -rf "$work"
    fi
}
stopped() {
    local status=$?
    [ $status -eq 0 ] || echo "compare-outputs: stopped (status $status); work folder $work" >&2
}
trap stopped EXIT

# Two iCalendar files equal but for their DTSTAMP lines.
same_but_stamp() {
    cmp -s <(sed 's/^DTSTAMP:.*/DTSTAMP:masked/' "$1") <(sed 's/^DTSTAMP:.*/DTSTAMP:masked/' "$2")
}

# Compares the cases run since the last call (under pending/): stdout, stderr, exit and every file
# of out/ of each, one line per difference. Cases that differ (all of them with --keep) move to
# kept/, the others are removed.
compare_pending() {
    [ "$compared" -lt "$cases" ] || return 0
    local n line path side name pending=$work/pending
    local -A differing=()  # the lines reported of each case that differs
    comparisons=$((comparisons + $( (cd "$pending/ref" && find . -type f; cd "$pending/cand" &&
        find . -type f) | sort -u | wc -l)))
    while IFS= read -r line; do
        if [[ $line =~ ^Files\ "$pending"/ref/([0-9]+)/(.*)\ and\ .*\ differ$ ]]; then
            n=${BASH_REMATCH[1]}
            name=${BASH_REMATCH[2]}
            if [[ $name = *.ics ]] &&
                same_but_stamp "$pending/ref/$n/$name" "$pending/cand/$n/$name"; then
                continue
            fi
            line="$name"
        elif [[ $line =~ ^Only\ in\ "$pending"/(ref|cand)/([0-9]+)(/.*)?:\ (.*)$ ]]; then
            side=${BASH_REMATCH[1]}
            n=${BASH_REMATCH[2]}
            path=${BASH_REMATCH[3]#/}
            name=${path:+$path/}${BASH_REMATCH[4]}
            [ "$side" = ref ] && side=reference || side=candidate
            line="$name written by the $side only"
        else
            echo "DIFFERS: $line"
            differ=$((differ + 1))
            continue
        fi
        differing[$n]+="DIFFERS [$n] ${labels[$n]}: $line"$'\n'
        differ=$((differ + 1))
    done < <(LC_ALL=C diff -rq "$pending/ref" "$pending/cand" || true)
    for ((n = compared + 1; n <= cases; n++)); do
        printf '%s' "${differing[$n]:-}"
        if [ -n "$keep" ] || [ -n "${differing[$n]:-}" ]; then
            mv "$pending/ref/$n" "$work/kept/ref/$n"
            mv "$pending/cand/$n" "$work/kept/cand/$n"
        fi
    done
    rm -rf "$pending"
    compared=$cases
    made=$cases
}

# Runs one case with both builds: $1 is cli or gen, the rest are the tool's arguments.
run_case() {
    local tool=$1 name=orrelin-cli ref=$ref_cli cand=$cand_cli
    shift
    if [ "$tool" = gen ]; then
        name=ipdgen ref=$ref_gen cand=$cand_gen
    fi
    cases=$((cases + 1))
    local label="$name $*"
    label=${label//"$inputs/"/}
    labels[cases]=${label//"$here/"/}
    local r=$work/pending/ref/$cases c=$work/pending/cand/$cases n
    if [ "$cases" -gt "$made" ]; then
        # The folders of the next cases at once, up to the next comparison.
        local dirs=()
        made=$((cases + (batch < 100 ? batch : 100) - 1))
        for ((n = cases; n <= made; n++)); do
            dirs+=("$work/pending/ref/$n/out" "$work/pending/cand/$n/out")
        done
        mkdir -p "${dirs[@]}"
    fi
    # Both builds at once: they share nothing but the inputs, which they only read.
    local ref_job cand_job ref_status=0 cand_status=0
    run_env "$r/out" "$ref" "$@" >"$r/stdout" 2>"$r/stderr" &
    ref_job=$!
    run_env "$c/out" "$cand" "$@" >"$c/stdout" 2>"$c/stderr" &
    cand_job=$!
    wait "$ref_job" || ref_status=$?
    wait "$cand_job" || cand_status=$?
    printf '%s\n' "$ref_status" >"$r/exit"
    printf '%s\n' "$cand_status" >"$c/exit"
    [ $((cases - compared)) -lt "$batch" ] || compare_pending
}

cli() { run_case cli "$@"; }

# Whether export format $1 is among those compared.
compared_format() {
    [[ " $formats " = *" $1 "* ]]
}

# The databases the reference lists in backup $1, one line each: key, record count, name.
databases() {
    run_env "$work" "$ref_cli" list "$1" 2>/dev/null |
        awk -F'\t' '
            /^[^\t]/ && NF >= 2 {
                if (key != "") print key "\t" n "\t" name
                key = $1; name = substr($0, length($1) + 2); n = 0; next
            }
            /^\t/ { n++ }
            END { if (key != "") print key "\t" n "\t" name }'
}

# The record numbers of a database of $1 records worth a show: all of them up to 200, else the
# first, every 10007th and the last.
sampled_records() {
    local count=$1 r
    if [ "$count" -le 200 ]; then
        [ "$count" -gt 0 ] && seq 1 "$count"
        return 0
    fi
    {
        echo 1
        for ((r = 10007; r < count; r += 10007)); do echo $r; done
        echo "$count"
    } | sort -nu
}

# Loads the databases of $1 into keys[], counts[] and names[]; a name met a second time (or an
# empty one) is addressed by its key instead.
load_databases() {
    keys=() counts=() names=()
    local key count name
    local -A seen=()
    while IFS=$'\t' read -r key count name; do
        keys+=("$key")
        counts+=("$count")
        if [ -z "$name" ] || [ -n "${seen[$name]:-}" ]; then
            names+=("$key")
        else
            names+=("$name")
        fi
        [ -z "$name" ] || seen[$name]=1
    done < <(databases "$1")
}

# export of $file in format $1 with the scope options that follow: --tz GMT and --tz +3, and
# for the standard formats the Cyrillic code page (with $light set: --tz GMT alone).
export_variants() {
    local format=$1 chosen=(--format "$1")
    shift
    [ "$format" = vcard3 ] && chosen=(--format vcard --vcard-version 3.0)
    cli export "$file" "${chosen[@]}" "$@" --tz GMT --output "out.$format"
    [ -z "$light" ] || return 0
    cli export "$file" "${chosen[@]}" "$@" --tz +3 --output "out.$format"
    case $format in vcard | ics | json | vcard3 | google-csv | outlook-csv)
        cli export "$file" "${chosen[@]}" "$@" --codepage 1251 --output "out.$format" ;;
    esac
}

# Every command on backup $1. With $light set (the damaged copies), fewer variants: show and
# export without --tz +3 or code pages, no export of single records, and unchanged service book
# entries only.
compare_backup() {
    local file=$1 i r count name format
    load_databases "$file"

    cli list "$file"
    cli list "$file" --tz +3

    for i in "${!keys[@]}"; do
        name=${names[$i]}
        count=${counts[$i]}
        for r in $(sampled_records "$count"); do
            cli show "$file" --database "$name" --record "$r"
            [ -n "$light" ] || cli show "$file" --database "$name" --record "$r" --tz +3
            case $name in
                "Address Book"*) cli show "$file" --database "$name" --record "$r" --photo photo.jpg ;;
            esac
        done
    done

    for format in $formats; do
        export_variants $format
        for i in "${!keys[@]}"; do
            name=${names[$i]}
            count=${counts[$i]}
            export_variants $format --database "$name"
            [ -z "$light" ] || continue
            [ "$count" -gt 0 ] && export_variants $format --database "$name" --record 1
            [ "$count" -gt 1 ] && export_variants $format --database "$name" --record "$count"
        done
    done

    # split: each database whole, the first record of each, all databases, a database with its
    # second record toggled off again plus another's last record, and nothing chosen.
    local all=()
    for i in "${!keys[@]}"; do
        name=${names[$i]}
        count=${counts[$i]}
        all+=(--database "$name")
        cli split "$file" -o split.ipd --database "$name"
        [ "$count" -gt 0 ] && cli split "$file" -o split.ipd --record "$name:1"
    done
    [ ${#all[@]} -gt 0 ] && cli split "$file" -o split.ipd "${all[@]}"
    if [ ${#keys[@]} -gt 0 ]; then
        local last=$((${#keys[@]} - 1))
        cli split "$file" -o split.ipd --database "${names[0]}" --record "${names[0]}:2" \
            --record "${names[$last]}:${counts[$last]}"
    fi
    cli split "$file" -o split.ipd

    # merge with itself as the second tree: databases from both, single records from both.
    if [ ${#keys[@]} -gt 0 ]; then
        local last=$((${#keys[@]} - 1))
        cli merge "$file" -o merge.ipd --first "${names[0]}"
        cli merge "$file" --second "$file" -o merge.ipd --first "${names[0]}" \
            --from-second "${names[$last]}"
        cli merge "$file" --second "$file" -o merge.ipd --first "${names[$last]}:1" \
            --from-second "${names[0]}:${counts[0]}" --from-second "${names[0]}"
        cli merge "$file" --second "$file" -o merge.ipd "${all[@]/#--database/--first}" \
            "${all[@]/#--database/--from-second}"
    fi

    # servicebook: each entry saved alone and with all entries, unchanged, edited and refused.
    for i in "${!keys[@]}"; do
        [ "${names[$i]}" = "Service Book" ] || continue
        for r in $(sampled_records "${counts[$i]}"); do
            local scope
            for scope in --entry-only --all; do
                cli servicebook "$file" --record "$r" $scope --output saved.ipd
                [ -z "$light" ] || continue
                cli servicebook "$file" --record "$r" $scope --output saved.ipd \
                    --set 17=Renamed --set 20=300 --set 2=$'\xd8\xa8' --set 21='a "quoted" text'
                cli servicebook "$file" --record "$r" $scope --output saved.ipd --set 9=70000
            done
        done
    done
}

# merge of backup $1 as the first tree and $2 as the second: every database of both, then the
# first database of $1 with the first record of each database of $2.
compare_merge_pair() {
    local first=() second=() records=() i
    load_databases "$1"
    for i in "${!keys[@]}"; do first+=(--first "${names[$i]}"); done
    load_databases "$2"
    for i in "${!keys[@]}"; do
        second+=(--from-second "${names[$i]}")
        [ "${counts[$i]}" -eq 0 ] || records+=(--from-second "${names[$i]}:1")
    done
    cli merge "$1" --second "$2" -o merge.ipd "${first[@]}" "${second[@]}"
    cli merge "$1" --second "$2" -o merge.ipd "${first[@]:0:2}" "${records[@]}"
}

# Requests each build must refuse in the same words.
compare_refusals() {
    local file=$1
    cli list "$inputs/missing.ipd"
    cli show "$file" --database "No Such Database" --record 1
    cli show "$file" --database Memos --record 0
    cli show "$file" --database Memos --record 99999
    cli export "$file" --format txt --database "No Such Database" --output out.txt
    cli export "$file" --format csv --database Memos --record 99999 --output out.csv
    cli export "$file" --format json --codepage 1254 --output out.json
    ! compared_format ics || cli export "$file" --format ics --tz nowhere --output out.ics
    cli split "$file" -o split.ipd --record Memos:99999
    cli merge "$file" -o merge.ipd --from-second Memos
    cli servicebook "$file" --record 99999 --all --output saved.ipd
    cli servicebook "$file" --record 1 --set 22=x --all --output saved.ipd
}

# The same file read with the time zone of a stored setting instead of --tz.
compare_stored_setting() {
    local file=$1 i r
    settings=$work/settings/stored
    load_databases "$file"
    cli list "$file"
    for i in "${!keys[@]}"; do
        for r in $(sampled_records "${counts[$i]}"); do
            cli show "$file" --database "${names[$i]}" --record "$r"
        done
    done
    cli export "$file" --format txt --output out.txt
    ! compared_format ics || cli export "$file" --format ics --output out.ics
    settings=$work/settings/none
}

# Writes damaged copies of the sample: cut inside the record halfway through the file and a few
# bytes into that record's header; a garbage byte in the second and in the last name-table length.
make_damaged() {
    local sample=$1 spans mid start end
    mapfile -t spans < <(run_env "$work" "$ref_cli" list "$sample" 2>/dev/null |
        awk -F'\t' '/^\t/ { split($2, s, ":"); print s[1], s[2] }')
    [ ${#spans[@]} -gt 0 ] || return 0
    mid=${spans[$((${#spans[@]} / 2))]}
    start=${mid% *}
    end=${mid#* }
    head -c $(((start + end) / 2)) "$sample" >"$inputs/cut-in-record.ipd"
    head -c $((start + 3)) "$sample" >"$inputs/cut-in-record-header.ipd"

    # The name table begins at byte 42 after the database count (big-endian, bytes 39 and 40);
    # each entry is a little-endian length and that many bytes.
    local count offset=42 entry=0 second_entry='' last_entry=''
    count=$(od -An -tu1 -j39 -N2 "$sample" | awk '{ print $1 * 256 + $2 }')
    while [ "$entry" -lt "$count" ]; do
        [ "$entry" -eq 1 ] && second_entry=$offset
        last_entry=$offset
        local length
        length=$(od -An -tu1 -j"$offset" -N2 "$sample" | awk '{ print $1 + $2 * 256 }')
        offset=$((offset + 2 + length))
        entry=$((entry + 1))
    done
    if [ -n "$second_entry" ]; then
        cp "$sample" "$inputs/name-length-garbage.ipd"
        printf '\xfd' | dd of="$inputs/name-length-garbage.ipd" bs=1 seek="$second_entry" \
            conv=notrunc status=none
    fi
    if [ -n "$last_entry" ]; then
        cp "$sample" "$inputs/name-length-runs-out.ipd"
        printf '\x7f' | dd of="$inputs/name-length-runs-out.ipd" bs=1 seek=$((last_entry + 1)) \
            conv=notrunc status=none
    fi
    chmod a-w "$inputs"/*.ipd
}

started=$(date +%s)

# The generators first: the sample, a small large backup, and the large input when asked for.
run_case gen sample sample.ipd
run_case gen large large.ipd --records 2000 --seed 1
if [ -n "$large" ]; then
    echo "== generating a backup of $large records with both builds"
    batch=2
    run_case gen large large.ipd --records "$large" --seed 1
    # The reference's file is the input of the large pass.
    if ! ln "$work/pending/ref/$cases/out/large.ipd" "$inputs/large.ipd"; then
        echo "compare-outputs: the reference's ipdgen wrote no large backup" >&2
        exit 2
    fi
    compare_pending
    chmod a-w "$inputs/large.ipd"
    batch=1
fi

corpus=${ORRELIN_CORPUS_DIR:-$here/../shared/corpus}
backups=("$here/samples/sample.ipd")
if [ -d "$corpus" ]; then
    for f in "$corpus"/*; do [ -f "$f" ] && backups+=("$(cd "$(dirname "$f")" && pwd)/${f##*/}"); done
else
    echo "== no corpus at $corpus: the sample and its damaged copies only"
fi
make_damaged "$here/samples/sample.ipd"
damaged=()
for f in "$inputs"/*.ipd; do
    [ "$f" = "$inputs/large.ipd" ] || damaged+=("$f")
done
damaged+=("${extra_inputs[@]}")

batch=1000
light=
for backup in "${backups[@]}" - "${damaged[@]}"; do
    if [ "$backup" = - ]; then
        light=1
        continue
    fi
    name=${backup#"$inputs/"}
    echo "== ${name#"$here/"}"
    compare_backup "$backup"
    compare_pending
done
light=
echo "== refusals, a stored time-zone setting, merges of two files"
compare_refusals "$here/samples/sample.ipd"
compare_stored_setting "$here/samples/sample.ipd"
for backup in "${backups[@]:1}" "${damaged[@]}"; do
    compare_merge_pair "$here/samples/sample.ipd" "$backup"
done
compare_pending
if [ -n "$large" ]; then
    echo "== large.ipd ($large records)"
    batch=1
    compare_backup "$inputs/large.ipd"
fi

echo "$cases commands in $(($(date +%s) - started)) s"
trap - EXIT
finish
[ "$differ" -eq 0 ]
