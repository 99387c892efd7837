#!/usr/bin/env bash
# Cross-builds everything the MinGW-w64 configuration holds for 64-bit Windows (orrelin-cli,
# ipdgen and the core tests, into ${ORRELIN_MINGW_BUILD_DIR:-build-mingw}) and runs it under Wine:
# the core tests, then every command scripts/compare-outputs.sh runs, in all nine formats, with
# the Linux build as the reference and the Windows command line as the candidate, compared byte
# for byte, on the sample, the corpus and .bbb archives of both layouts written by ipdgen.
#
# expat, libzip and libical for Windows come from scripts/cross-deps.sh (built once into a cache
# folder, a few minutes the first time); GoogleTest is built for Windows from the googletest
# source package (/usr/src/googletest). The core tests left out are listed, each with its reason,
# in scripts/windows-skipped-tests.txt.
#
# Skips (exit 0) with a message when Wine cannot start at all on this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
dir=${ORRELIN_MINGW_BUILD_DIR:-build-mingw}
[[ $dir = /* ]] || dir=$here/$dir
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

wine=$(command -v wine64 || command -v wine || true)
if [ -z "$wine" ] || ! command -v x86_64-w64-mingw32-g++ >/dev/null; then
    echo "test-windows: Wine or MinGW-w64 is missing: run scripts/install-deps.sh" >&2
    exit 1
fi
if [ ! -d /usr/src/googletest ]; then
    echo "test-windows: /usr/src/googletest is missing: run scripts/install-deps.sh" >&2
    exit 1
fi

mkdir -p "$dir"
export WINEPREFIX=$dir/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
started_server=
finish() {
    [ -z "$started_server" ] || WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
}
trap finish EXIT
# A first start makes the Wine folder, which takes a while; later ones reuse it.
if ! timeout 600 "$wine" cmd /c exit 0 >"$dir/wine-start.log" 2>&1; then
    echo "test-windows: SKIPPED: Wine cannot start here (see $dir/wine-start.log)"
    exit 0
fi
# One Wine server for every command that follows, instead of one started for each; the folder
# is this script's own, so its server is stopped at the end whoever started it.
# `wineserver -p` starts no server while one is running, and the one the first start left
# quits three seconds after its last program: a program started just as it quits fails with
# "recvmsg: Connection reset by peer". So that one is stopped and a lasting one started.
started_server=1
wineserver -k 2>/dev/null || true
wineserver -p

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
toolchain=$here/cmake/mingw-w64.cmake

gtest=$dir/googletest
if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
    echo "== GoogleTest for Windows"
    cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja "${launcher[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF \
        -DCMAKE_INSTALL_PREFIX="$gtest/install" >/dev/null
    cmake --build "$gtest/build" -j "$jobs" --target install >/dev/null
fi

echo "== expat, libzip and libical for Windows"
started=$SECONDS
prefix=$("$here/scripts/cross-deps.sh" mingw64)
echo "in $prefix ($((SECONDS - started)) s)"

echo "== everything the Windows configuration holds"
started=$SECONDS
# Given each time: a new cache folder (new package versions) is taken up at once.
cmake -S "$here" -B "$dir/build" -G Ninja "${launcher[@]}" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORRELIN_BUILD_GUI=OFF -DORRELIN_WERROR=ON \
    -DORRELIN_CROSS_PREFIX="$prefix" -DORRELIN_BUILD_TESTS=ON \
    -DGTest_DIR="$gtest/install/lib/cmake/GTest" \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >"$dir/configure.log" 2>&1 ||
    { cat "$dir/configure.log" >&2; exit 1; }
if grep -q "CMake Warning" "$dir/configure.log"; then
    echo "test-windows: the Windows configuration lacks a library:" >&2
    cat "$dir/configure.log" >&2
    exit 1
fi
cmake --build "$dir/build" -j "$jobs"
echo "built in $((SECONDS - started)) s"
exe=$dir/build/src/cli/orrelin-cli.exe

echo "== the core tests under Wine"
# Left out: what Windows does otherwise by design (links, permissions, the POSIX locale and
# environment calls the tests use to set up) and what runs on the Linux side only.
skipped=$(grep -v -e '^#' -e '^$' "$here/scripts/windows-skipped-tests.txt" | paste -sd: -)
(cd "$here" && "$wine" "$dir/build/tests/orrelin_core_tests.exe" --gtest_brief=1 \
    ${skipped:+"--gtest_filter=-$skipped"})

# The Windows command line as compare-outputs runs it, in the fixed environment that script
# sets. Wine sets %LOCALAPPDATA% itself, so the stored setting of the run's settings folder
# ($XDG_CONFIG_HOME) is put where the Windows program looks for it, or taken away.
appdata=$("$wine" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
appdata=$(winepath -u "$appdata" 2>/dev/null)
mkdir -p "$appdata"
wrapper=$dir/orrelin-cli-wine
cat >"$wrapper" <<EOF
#!/bin/sh
if [ -n "\${XDG_CONFIG_HOME:-}" ] && [ -f "\$XDG_CONFIG_HOME/orrelin_beta.conf" ]; then
    cp "\$XDG_CONFIG_HOME/orrelin_beta.conf" '$appdata/orrelin_beta.conf'
else
    rm -f '$appdata/orrelin_beta.conf'
fi
# Now and then (seen on a loaded machine, not reproduced) a run under Wine ends with a failing
# status having printed nothing at all, which orrelin-cli never does when it fails: such a run
# is started once more, and the retry is logged, so the comparison sees the program's own
# outcome and the log shows how often Wine failed to start it.
out=\$(mktemp) err=\$(mktemp)
trap 'rm -f "\$out" "\$err"' EXIT
for attempt in 1 2; do
    status=0
    WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' \
        '$wine' '$exe' "\$@" >"\$out" 2>"\$err" || status=\$?
    if [ "\$status" -eq 0 ] || [ -s "\$out" ] || [ -s "\$err" ]; then break; fi
    printf 'exit %s with no output, attempt %s, in %s: %s\\n' "\$status" "\$attempt" "\$(pwd)" "\$*" \
        >>'$dir/wine-retries.log'
done
cat "\$out"
cat "\$err" >&2
exit "\$status"
EOF
chmod +x "$wrapper"

# .bbb archives of both layouts, deflated and stored, one with an encrypted database among plain
# ones, and the archives refused (all encrypted, BlackBerry 10), written by the Linux ipdgen;
# compare-outputs runs the fewer variants of its damaged copies on them.
echo "== .bbb archives"
linux=${ORRELIN_BUILD_DIR:-build}
[[ $linux = /* ]] || linux=$here/$linux
cmake --build "$linux" -j "$jobs" --target orrelin-cli ipdgen >/dev/null
archives=$dir/archives
made=$(scripts/make-test-archives.sh "$linux/tools/ipdgen" "$archives")
inputs=()
while read -r archive; do
    inputs+=(--input "$archive")
done <<<"$made"
# The Windows ipdgen writes the same archive.
"$wine" "$dir/build/tools/ipdgen.exe" bbb samples/sample.ipd "$(winepath -w "$archives/windows.bbb")" \
    >/dev/null
cmp "$archives/desktop.bbb" "$archives/windows.bbb"
rm "$archives/windows.bbb"

echo "== the Windows command line against the Linux one"
rm -f "$dir/wine-retries.log"
status=0
"$here/scripts/compare-outputs.sh" --reference-build "$linux" --candidate-cli "$wrapper" \
    "${inputs[@]}" | tee "$dir/compare.log" || status=$?
if [ -s "$dir/wine-retries.log" ]; then
    echo "test-windows: runs Wine ended without a word, started again:"
    cat "$dir/wine-retries.log"
fi
if [ "$status" -ne 0 ]; then
    "$here/scripts/show-kept-cases.sh" "$dir/compare.log"
    exit "$status"
fi
