#!/usr/bin/env bash
# Makes the Debian package from the build folder (${ORRELIN_BUILD_DIR:-build}) with cpack, unpacks
# it into an empty folder with dpkg -x and checks what it holds: orrelin-cli runs from there and
# gives its version, the desktop entry passes desktop-file-validate, the MIME types of .ipd and
# .bbb, the icon, the manual pages and the bash completion are there, the completion knows every
# command and option the help names, and the package declares what it depends on. The window
# program is required when the build folder builds it.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
dir=${ORRELIN_BUILD_DIR:-build}
[[ $dir = /* ]] || dir=$here/$dir
if [ ! -f "$dir/CMakeCache.txt" ]; then
    ORRELIN_BUILD_DIR=$dir scripts/build.sh >/dev/null
fi
cmake --build "$dir" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-2}" >/dev/null
for tool in dpkg-deb desktop-file-validate; do
    command -v "$tool" >/dev/null || { echo "test-package: $tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/orrelin-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "test-package: FAILED: $*" >&2
    failed=1
}

(cd "$dir" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; echo "test-package: cpack failed" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
deb=$work/out/orrelin_${version}_amd64.deb
[ -f "$deb" ] || { ls "$work/out" >&2; echo "test-package: no $(basename "$deb")" >&2; exit 1; }
echo "package: $(basename "$deb")"

root=$work/root
dpkg-deb -x "$deb" "$root"
cli_version=$("$root/usr/bin/orrelin-cli" --version) || fail "orrelin-cli --version from the package"
[ "$cli_version" = "orrelin-cli $version" ] || fail "orrelin-cli --version says '$cli_version'"

with_window=
grep -q '^ORRELIN_BUILD_GUI:BOOL=ON' "$dir/CMakeCache.txt" && [ -f "$dir/src/gui/orrelin" ] &&
    with_window=1
expected=(
    usr/bin/orrelin-cli
    usr/share/man/man1/orrelin-cli.1.gz
    usr/share/bash-completion/completions/orrelin-cli
)
if [ -n "$with_window" ]; then
    expected+=(
        usr/bin/orrelin
        usr/share/applications/orrelin.desktop
        usr/share/mime/packages/orrelin-ipd.xml
        usr/share/icons/hicolor/scalable/apps/orrelin.svg
        usr/share/man/man1/orrelin.1.gz
    )
else
    echo "test-package: the build folder has no window program: the package is checked without it"
fi
for path in "${expected[@]}"; do
    [ -e "$root/$path" ] || fail "$path is not in the package"
done

if [ -n "$with_window" ]; then
    desktop-file-validate "$root/usr/share/applications/orrelin.desktop" ||
        fail "desktop-file-validate on the desktop entry"
    for type in application/x-blackberry-ipd application/x-blackberry-bbb; do
        grep -q "type=\"$type\"" "$root/usr/share/mime/packages/orrelin-ipd.xml" ||
            fail "no MIME type $type"
        grep -q "^MimeType=.*$type;" "$root/usr/share/applications/orrelin.desktop" ||
            fail "the desktop entry does not open $type"
    done
    python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
        "$root/usr/share/mime/packages/orrelin-ipd.xml" || fail "the MIME XML does not parse"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libical3; do
    [[ $depends = *"$library"* ]] || fail "Depends names no $library: $depends"
done
[ -z "$with_window" ] || [[ $depends = *libqt6widgets6* ]] || fail "Depends names no Qt: $depends"

# The manual page of the command line is made from its help: every command is in it; the page
# of each is valid roff.
cli=$root/usr/bin/orrelin-cli
commands=$("$cli" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 && NF { print $1 }')
[ -n "$commands" ] || fail "orrelin-cli --help names no commands"
page=$(zcat "$root/usr/share/man/man1/orrelin-cli.1.gz")
for command in $commands; do
    grep -q "^\.SS $command\$" <<<"$page" || fail "the manual page has no section for $command"
done
if command -v groff >/dev/null; then
    for manual in "$root"/usr/share/man/man1/*.1.gz; do
        warnings=$(zcat "$manual" | groff -man -Tutf8 -ww -z 2>&1) || true
        [ -z "$warnings" ] || fail "$(basename "$manual"): $warnings"
    done
fi

# The completion offers every command and every option the help names, and nothing else.
completion=$root/usr/share/bash-completion/completions/orrelin-cli
bash -n "$completion" || fail "the completion is not valid bash"
complete_words() {
    bash -c '
        _init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}
            words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
        _filedir() { :; }
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _orrelin_cli
        printf "%s\n" "${COMPREPLY[@]}" | sort' _ "$completion" "$@"
}
options_of() {
    "$cli" "$@" --help | sed -n '/^Options:/,$p' | grep -oE '^ +-[-a-zA-Z,]+' |
        tr ',' '\n' | tr -d ' ' | sort
}
[ "$(complete_words orrelin-cli '')" = "$( (printf '%s\n' $commands; options_of) | sort)" ] ||
    fail "the completion's commands differ from the help's"
for command in $commands; do
    [ "$(complete_words orrelin-cli "$command" -)" = "$(options_of "$command")" ] ||
        fail "the completion's options of $command differ from the help's"
done

[ "$failed" -eq 0 ] || exit 1
echo "test-package: the package holds what it should"
