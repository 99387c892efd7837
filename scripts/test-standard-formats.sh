#!/usr/bin/env bash
# Exports the bundled sample and the real backups of ../shared/corpus (when present) to vCard,
# iCalendar and JSON, and has real parsers read every file: python3's vobject, icalendar and
# json modules. Fails on the first file a parser refuses, or one holding another number of
# cards, components or records than the command line said it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_BUILD_DIR:-build}
ORRELIN_BUILD_DIR=$dir scripts/build.sh orrelin-cli >/dev/null
cli=$PWD/$dir/src/cli/orrelin-cli
corpus=${ORRELIN_CORPUS_DIR:-../shared/corpus}

# The first python3 that has the parsers: the one on PATH, else the system's (where Debian's
# python3-vobject and python3-icalendar go).
py=
for candidate in python3 /usr/bin/python3; do
    if "$candidate" -c 'import vobject, icalendar, json' 2>/dev/null; then
        py=$candidate
        break
    fi
done
if [ -z "$py" ]; then
    echo "test-standard-formats: no python3 with vobject and icalendar (scripts/install-deps.sh)" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

backups=(samples/sample.ipd)
if [ -d "$corpus" ]; then
    for f in "$corpus"/*.ipd; do [ -f "$f" ] && backups+=("$f"); done
else
    echo "test-standard-formats: no corpus at $corpus; the sample alone"
fi

cat >"$work/check.py" <<'PY'
import json, sys

def check_vcard(path, count):
    import vobject
    text = open(path, encoding='utf-8', newline='').read()
    cards = list(vobject.readComponents(text))
    for card in cards:
        assert card.name == 'VCARD', card.name
        assert card.version.value == '4.0', card.version.value
        card.fn.value
    assert len(cards) == count, (len(cards), count)
    return f"{len(cards)} cards"

def check_ics(path, count):
    import icalendar
    calendar = icalendar.Calendar.from_ical(open(path, 'rb').read())
    assert calendar.name == 'VCALENDAR', calendar.name
    parts = [c for c in calendar.walk() if c.name in ('VEVENT', 'VTODO')]
    for part in parts:
        assert part.get('UID'), part
    assert len(parts) == count, (len(parts), count)
    return f"{len(parts)} components"

def check_json(path, count):
    doc = json.load(open(path, encoding='utf-8'))
    records = sum(len(d['records']) for d in doc['databases'])
    assert records == count, (records, count)
    return f"valid JSON, {records} records"

format, path, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
print({'vcard': check_vcard, 'ics': check_ics, 'json': check_json}[format](path, count))
PY

for backup in "${backups[@]}"; do
    for format in vcard ics json; do
        out="$work/$(basename "$backup" .ipd).$format"
        said=$("$cli" export "$backup" --format "$format" --output "$out" 2>/dev/null)
        count=$(printf '%s\n' "$said" | sed -n 's/^\([0-9][0-9]*\) records\{0,1\} written\.$/\1/p')
        printf '%s %s: ' "$(basename "$backup")" "$format"
        if [ "$format" = json ]; then
            "$py" -m json.tool "$out" >/dev/null
        fi
        "$py" "$work/check.py" "$format" "$out" "${count:--1}"
    done
done

# Non-Latin text survives the trip: the sample's Arabic message, read back through json.
"$py" - "$work/sample.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1], encoding='utf-8'))
texts = [r['values']['text'] for d in doc['databases'] if d['name'] == 'SMS Messages'
         for r in d['records']]
assert any('\u0645\u0631\u062d\u0628\u0627' in t for t in texts), texts
print("sample.json: the Arabic message reads back")
PY
