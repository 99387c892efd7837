#!/usr/bin/env bash
# Exports a generated mail backup (messages, PIN messages, saved email, HTML-only bodies, body
# lines beginning with "From ", long lines, Arabic and accented subjects) to mbox and reads the
# file back the way a mail program does (scripts/check-mbox.py: Python's mailbox and email
# parsers, every message without defects), then holds each message against the same record in
# the JSON export: same count and order, same subject, same sender address, same plain body.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_BUILD_DIR:-build}
ORRELIN_BUILD_DIR=$dir scripts/build.sh orrelin-cli ipdgen >/dev/null
cli=$PWD/$dir/src/cli/orrelin-cli
ipdgen=$PWD/$dir/tools/ipdgen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$ipdgen" mail "$work/mail.ipd" --records 400 >/dev/null
"$cli" export "$work/mail.ipd" --format mbox --output "$work/mail.mbox" >"$work/said"
"$cli" export "$work/mail.ipd" --format json --output "$work/mail.json" >/dev/null
python3 scripts/check-mbox.py "$work/mail.mbox" --json >"$work/messages.json"
python3 - "$work/messages.json" "$work/mail.json" "$work/said" <<'PY'
import json, re, sys
messages = json.load(open(sys.argv[1], encoding="utf-8"))
backup = json.load(open(sys.argv[2], encoding="utf-8"))
said = open(sys.argv[3]).read()
records = [r["values"] for db in backup["databases"]
           if db["name"] in ("Messages", "PIN Messages", "Saved Email Messages")
           for r in db["records"]]
written = int(re.search(r"^(\d+) records? written\.$", said, re.M).group(1))
fail = []
if not (len(messages) == len(records) == written):
    fail.append(f"{len(messages)} messages, {len(records)} JSON records, {written} written")
for i, (m, r) in enumerate(zip(messages, records)):
    if m["subject"] != r["subject"]:
        fail.append(f"message {i}: subject {m['subject']!r} != {r['subject']!r}")
    if r["from"] and r["from"].rstrip(">").split("<")[-1] not in m["from"]:
        fail.append(f"message {i}: from {m['from']!r} lacks {r['from']!r}")
    if m["content_type"] == "text/plain":
        body = m["body"].replace("\r\n", "\n").rstrip("\n")
        if body != r["body"].replace("\r\n", "\n").rstrip("\n"):
            fail.append(f"message {i}: the plain body differs")
if fail:
    sys.exit("test-mbox: " + "\n".join(fail[:10]))
print(f"test-mbox: {len(messages)} messages read back by Python's mailbox and email parsers")
PY
