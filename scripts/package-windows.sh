#!/usr/bin/env bash
# Makes the Windows packages of orrelin-cli and prints their paths:
#
#   scripts/package-windows.sh
#   -> build-mingw/packages/orrelin-cli-VERSION-win64.zip   (unpack anywhere, run bin\orrelin-cli.exe)
#   -> build-mingw/packages/orrelin-cli-VERSION-win64.exe   (installer: puts orrelin-cli on the PATH)
#
# It builds expat, libzip and libical for Windows once (scripts/cross-deps.sh), cross-builds
# orrelin-cli with MinGW-w64 in ${ORRELIN_MINGW_BUILD_DIR:-build-mingw}/build (the folder
# scripts/test-windows.sh tests) and packs it with CPack: a zip and an NSIS installer, each with
# the README and the licence of every library linked in (cmake/windows/packages.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
dir=${ORRELIN_MINGW_BUILD_DIR:-build-mingw}
[[ $dir = /* ]] || dir=$here/$dir
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
for tool in x86_64-w64-mingw32-g++ makensis; do
    command -v $tool >/dev/null || { echo "package-windows: $tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done

prefix=$("$here/scripts/cross-deps.sh" mingw64)
build=$dir/build
options=()
# A folder of its own is configured without the tests; one scripts/test-windows.sh made keeps them.
[ -f "$build/CMakeCache.txt" ] || options+=(-DORRELIN_BUILD_TESTS=OFF)
command -v ccache >/dev/null &&
    options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
mkdir -p "$dir"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORRELIN_BUILD_GUI=OFF -DORRELIN_WERROR=ON \
    -DORRELIN_CROSS_PREFIX="$prefix" "${options[@]}" >"$dir/package-configure.log" 2>&1 ||
    { cat "$dir/package-configure.log" >&2; exit 1; }
if grep -q "CMake Warning" "$dir/package-configure.log"; then
    cat "$dir/package-configure.log" >&2
    echo "package-windows: the packages would lack a library or a licence (above)" >&2
    exit 1
fi
cmake --build "$build" -j "$jobs" --target orrelin-cli >&2
rm -rf "$dir/packages"
(cd "$build" && cpack -B "$dir/packages" >"$dir/package-cpack.log" 2>&1) ||
    { cat "$dir/package-cpack.log" >&2; exit 1; }
ls "$dir"/packages/orrelin-cli-*-win64.zip "$dir"/packages/orrelin-cli-*-win64.exe
