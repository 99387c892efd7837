#!/usr/bin/env bash
# Exports the bundled sample, a generated backup, an address book in five scripts and the real
# backups of ../shared/corpus (when present) to vCard 4.0 and 3.0, iCalendar, JSON and the Google
# and Outlook contact CSV files, and has real parsers read every file: python3's vobject,
# icalendar, json and csv modules (the CSV header rows against the templates of tests/data).
# Every contact's values in vCard 3.0 and both CSV files are held against the JSON export, and the
# names in other scripts against the names written. Fails on the first file a parser refuses, or
# one holding another number of cards, components, rows or records than the command line said
# it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_BUILD_DIR:-build}
ORRELIN_BUILD_DIR=$dir scripts/build.sh orrelin-cli ipdgen >/dev/null
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

def check_vcard3(path, count):
    import vobject
    text = open(path, encoding='utf-8', newline='').read()
    cards = list(vobject.readComponents(text))
    for card in cards:
        assert card.version.value == '3.0', card.version.value
        card.fn.value
        card.n.value
    assert len(cards) == count, (len(cards), count)
    return f"{len(cards)} cards"

def check_contact_csv(path, count):
    import csv
    template = 'tests/data/' + ('google' if 'google' in path else 'outlook') + '-contacts-template.csv'
    header = next(csv.reader(open(template, encoding='utf-8', newline='')))
    raw = open(path, 'rb').read()
    # Outlook reads UTF-8 only behind a byte order mark; Google takes plain UTF-8.
    assert raw.startswith(b'\xef\xbb\xbf') == ('outlook' in path), path
    rows = list(csv.reader(raw.decode('utf-8-sig').splitlines(True)))
    assert rows[0] == header, 'the header row differs from the template'
    assert all(len(r) == len(header) for r in rows), 'a row of another width'
    assert len(rows) - 1 == count, (len(rows) - 1, count)
    return f"{count} rows under the template's header"

format, path, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
checks = {'vcard': check_vcard, 'ics': check_ics, 'json': check_json, 'vcard3': check_vcard3,
          'google-csv': check_contact_csv, 'outlook-csv': check_contact_csv}
print(checks[format](path, count))
PY

# Every contact's values in the contact forms, against the JSON export of the same backup.
cat >"$work/contacts.py" <<'PY'
import csv, json, sys
import vobject
base = sys.argv[1]
doc = json.load(open(base + '.json', encoding='utf-8'))
people = [r['values'] for d in doc['databases'] if d['name'].startswith('Address Book')
          for r in d['records']]
phones = ('work_phone_1', 'work_phone_2', 'home_phone_1', 'home_phone_2', 'mobile', 'pager',
          'fax', 'other_number')
def rows(path):
    table = list(csv.DictReader(open(path, encoding='utf-8-sig', newline='')))
    assert len(table) == len(people), (path, len(table), len(people))
    return table
def clean(text):
    return text.replace('\r\n', '\n').replace('\r', '\n')
cards = list(vobject.readComponents(open(base + '.vcard3', encoding='utf-8', newline='').read()))
assert len(cards) == len(people), (len(cards), len(people))
for p, card, g, o in zip(people, cards, rows(base + '.google-csv'), rows(base + '.outlook-csv')):
    get = lambda key: clean(p.get(key, ''))
    assert card.n.value.given == get('first_name') and card.n.value.family == get('last_name')
    tels = sorted(t.value for t in card.contents.get('tel', []))
    assert tels == sorted(get(k) for k in phones if get(k)), (tels, p)
    if get('email'):
        assert card.email.value == get('email')
    if get('notes'):
        assert card.note.value == get('notes')
    assert g['Given Name'] == get('first_name') and g['Family Name'] == get('last_name')
    assert g['Organization 1 - Name'] == get('company')
    google_phones = sorted(g[f'Phone {i} - Value'] for i in range(1, 9) if g[f'Phone {i} - Value'])
    assert google_phones == sorted(get(k) for k in phones if get(k)), (google_phones, p)
    assert g['E-mail 1 - Value'] == get('email') and g['Notes'] == get('notes')
    assert o['First Name'] == get('first_name') and o['Last Name'] == get('last_name')
    assert o['Mobile Phone'] == get('mobile') and o['Business Phone'] == get('work_phone_1')
    assert o['Home Phone'] == get('home_phone_1') and o['Business Fax'] == get('fax')
    assert o['E-mail Address'] == get('email') and o['Company'] == get('company')
print(f"{base.rsplit('/', 1)[-1]}: {len(people)} contacts read back alike in the three contact forms")
PY

# A generated backup beside the sample and the corpus: many contacts of every shape; and an
# address book written in Arabic, Greek, Chinese, Japanese and Korean.
"$dir/tools/ipdgen" large "$work/generated.ipd" --records 20000 >/dev/null
"$dir/tools/ipdgen" scripts "$work/scripts.ipd"
backups+=("$work/generated.ipd" "$work/scripts.ipd")

for backup in "${backups[@]}"; do
    for format in vcard ics json vcard3 google-csv outlook-csv; do
        out="$work/$(basename "$backup" .ipd).$format"
        options=(--format "$format")
        [ "$format" = vcard3 ] && options=(--format vcard --vcard-version 3.0)
        said=$("$cli" export "$backup" "${options[@]}" --output "$out" 2>/dev/null)
        count=$(printf '%s\n' "$said" | sed -n 's/^\([0-9][0-9]*\) records\{0,1\} written\.$/\1/p')
        printf '%s %s: ' "$(basename "$backup")" "$format"
        if [ "$format" = json ]; then
            "$py" -m json.tool "$out" >/dev/null
        fi
        "$py" "$work/check.py" "$format" "$out" "${count:--1}"
    done
    "$py" "$work/contacts.py" "$work/$(basename "$backup" .ipd)"
done

# The names in other scripts come back as they were written, in every contact form.
"$py" - "$work/scripts" <<'PY'
import csv, json, sys
import vobject
base = sys.argv[1]
names = [('ليلى', 'حداد'), ('Ελένη', 'Παπαδοπούλου'), ('小明', '王'), ('花子', '田中'),
         ('지민', '김')]
doc = json.load(open(base + '.json', encoding='utf-8'))
assert [(r['values']['first_name'], r['values']['last_name'])
        for d in doc['databases'] for r in d['records']] == names, 'json'
for version in ('vcard', 'vcard3'):
    cards = vobject.readComponents(open(base + '.' + version, encoding='utf-8').read())
    assert [(c.n.value.given, c.n.value.family) for c in cards] == names, version
google = csv.DictReader(open(base + '.google-csv', encoding='utf-8', newline=''))
assert [(r['Given Name'], r['Family Name']) for r in google] == names, 'google-csv'
outlook = csv.DictReader(open(base + '.outlook-csv', encoding='utf-8-sig', newline=''))
assert [(r['First Name'], r['Last Name']) for r in outlook] == names, 'outlook-csv'
notes = [r['values']['notes'] for d in doc['databases'] for r in d['records']]
assert notes[3].endswith('\U0001F338'), notes[3]
print("scripts.ipd: Arabic, Greek, Chinese, Japanese and Korean names read back in every form")
PY

# Non-Latin text survives the trip: the sample's Arabic message, read back through json.
"$py" - "$work/sample.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1], encoding='utf-8'))
texts = [r['values']['text'] for d in doc['databases'] if d['name'] == 'SMS Messages'
         for r in d['records']]
assert any('\u0645\u0631\u062d\u0628\u0627' in t for t in texts), texts
print("sample.json: the Arabic message reads back")
PY
