#!/usr/bin/env bash
# Makes the Windows packages (scripts/package-windows.sh) and checks them: the installer holds the
# program, the README and every licence (listed with 7z); the zip holds the same, and its
# orrelin-cli.exe, unpacked, lists the sample under Wine as the Linux build does; the installer
# run silently under Wine puts bin\orrelin-cli.exe on the PATH, a new command prompt runs it by
# name, and its uninstaller takes the files and the PATH entry away again.
#
# Skips (exit 0) with a message when Wine cannot start at all on this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
dir=${ORRELIN_MINGW_BUILD_DIR:-build-mingw}
[[ $dir = /* ]] || dir=$here/$dir
linux=${ORRELIN_BUILD_DIR:-build}
[[ $linux = /* ]] || linux=$here/$linux
fail() { echo "test-windows-package: $*" >&2; exit 1; }
for tool in 7z unzip wine; do
    command -v $tool >/dev/null || fail "$tool is missing: run scripts/install-deps.sh"
done

mapfile -t packages < <("$here/scripts/package-windows.sh")
zip=$(printf '%s\n' "${packages[@]}" | grep '\.zip$')
installer=$(printf '%s\n' "${packages[@]}" | grep '\.exe$')
echo "== $(basename "$zip") and $(basename "$installer")"

expected=(bin/orrelin-cli.exe README.txt licenses/cli11.txt licenses/expat.txt
    licenses/gcc-runtime.txt licenses/libical3.txt licenses/libzip.txt
    licenses/mingw-w64-runtime.txt licenses/zlib.txt)
listed=$(7z l -ba -slt "$installer" | sed -n 's/^Path = //p' | tr '\\' /)
for f in "${expected[@]}" Uninstall.exe; do
    grep -qx "$f" <<<"$listed" || fail "the installer lacks $f; it holds: $listed"
done

check=$dir/package-check
rm -rf "$check"
mkdir -p "$check"
unzip -q "$zip" -d "$check/zip"
top=$check/zip/$(basename "$zip" .zip)
for f in "${expected[@]}"; do
    [ -s "$top/$f" ] || fail "the zip lacks $f"
done

# A Wine folder of its own, made afresh: the installer finds no earlier installation there.
export WINEPREFIX=$dir/wine-package WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$WINEPREFIX"
if ! timeout 600 wine cmd /c exit 0 >"$check/wine-start.log" 2>&1; then
    echo "test-windows-package: SKIPPED: Wine cannot start here (see $check/wine-start.log)"
    exit 0
fi
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== the zip's orrelin-cli.exe"
cmake --build "$linux" --target orrelin-cli >/dev/null
"$linux/src/cli/orrelin-cli" list samples/sample.ipd >"$check/linux.txt"
wine "$top/bin/orrelin-cli.exe" list samples/sample.ipd >"$check/zip.txt"
cmp "$check/linux.txt" "$check/zip.txt" || fail "the zip's program lists the sample otherwise"

echo "== installed, run from the PATH, removed"
folder='C:\OrrelinTest'
unix=$(winepath -u "$folder")
wine "$installer" /S "/D=$folder"
[ -f "$unix/bin/orrelin-cli.exe" ] && [ -f "$unix/Uninstall.exe" ] || fail "nothing installed in $unix"
key='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
wine reg query "$key" /v PATH | grep -qiF "$folder\\bin" || fail "the PATH lacks $folder\\bin"
# A new Wine server reads the environment from the registry, as a new window would on Windows.
wineserver -w
wine cmd /c orrelin-cli list samples/sample.ipd >"$check/installed.txt"
cmp "$check/linux.txt" "$check/installed.txt" || fail "orrelin-cli run from the PATH lists otherwise"
# The uninstaller copies itself away and returns at once: wait for it to finish.
wine "$unix/Uninstall.exe" /S
for _ in $(seq 60); do
    [ -e "$unix/bin/orrelin-cli.exe" ] || break
    sleep 1
done
wineserver -w
[ ! -e "$unix/bin/orrelin-cli.exe" ] || fail "the uninstaller left $unix/bin/orrelin-cli.exe"
! wine reg query "$key" /v PATH | grep -qiF "$folder\\bin" || fail "the uninstaller left the PATH entry"
echo "test-windows-package: packages checked"
