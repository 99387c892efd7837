#!/usr/bin/env bash
# Exports the bundled sample, the real backups of ../shared/corpus (when present) and a crafted
# backup (markup, script, control characters, right-to-left text and contact numbers written
# several ways) to android-sms, android-calls and html, and checks every file:
#   - the Android files with python3's XML parser: the declaration, the root and its count, the
#     attributes of every element and their values;
#   - the HTML page: nothing loaded from outside, the script the page's security policy names,
#     every crafted text shown as text; then in a headless chromium (when installed): the page
#     loads without console messages, its script runs, no crafted script runs, and screenshots
#     of a phone-sized and a desktop-sized window go to BUILD/test-artefacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_BUILD_DIR:-build}
ORRELIN_BUILD_DIR=$dir scripts/build.sh orrelin-cli >/dev/null
cli=$PWD/$dir/src/cli/orrelin-cli
artefacts=$PWD/$dir/test-artefacts
corpus=${ORRELIN_CORPUS_DIR:-../shared/corpus}
mkdir -p "$artefacts"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 scripts/archive_formats_check.py crafted "$work/crafted.ipd"
backups=(samples/sample.ipd "$work/crafted.ipd")
if [ -d "$corpus" ]; then
    for f in "$corpus"/*.ipd; do [ -f "$f" ] && backups+=("$f"); done
fi

n=0
for backup in "${backups[@]}"; do
    n=$((n + 1))
    for format in android-sms android-calls html; do
        out="$work/$n-$format.out"
        "$cli" export "$backup" --format "$format" --tz +3 --output "$out" >"$work/said" 2>/dev/null
        records=$(sed -n 's/^\([0-9][0-9]*\) records\{0,1\} written\.$/\1/p' "$work/said")
        python3 scripts/archive_formats_check.py "$format" "$out" "${records:-0}" \
            "$([ "$backup" = "$work/crafted.ipd" ] && echo crafted || echo plain)"
    done
done
echo "test-archive-formats: ${#backups[@]} backups, every file read back"

browser=
for candidate in chromium chromium-browser; do
    command -v "$candidate" >/dev/null && { browser=$candidate; break; }
done
if [ -z "$browser" ]; then
    echo "test-archive-formats: no chromium (scripts/install-deps.sh); the browser checks skipped"
    exit 0
fi
page="$work/2-html.out.html"
cp "$work/2-html.out" "$page"
cp "$work/1-html.out" "$work/sample.html"
run_browser() {
    local profile
    profile=$(mktemp -d "$work/profile.XXXXXX")
    timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --enable-logging=stderr --v=0 "$@"
}
run_browser --dump-dom "file://$page" >"$work/dom.html" 2>"$work/browser.log"
python3 scripts/archive_formats_check.py dom "$work/dom.html" "$work/browser.log"
for target in "$page:crafted" "$work/sample.html:sample"; do
    file=${target%%:*}
    name=${target##*:}
    run_browser --hide-scrollbars --window-size=412,900 --screenshot="$artefacts/html-$name-phone.png" \
        "file://$file#open" >/dev/null 2>&1
    run_browser --hide-scrollbars --window-size=1280,900 \
        --screenshot="$artefacts/html-$name-desktop.png" "file://$file#open" >/dev/null 2>&1
    [ -s "$artefacts/html-$name-phone.png" ] && [ -s "$artefacts/html-$name-desktop.png" ] || {
        echo "test-archive-formats: no screenshot of the $name page" >&2
        exit 1
    }
done
echo "test-archive-formats: the page loads cleanly in $browser; screenshots in $artefacts"
