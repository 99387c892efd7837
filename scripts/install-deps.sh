#!/usr/bin/env bash
# Installs from Debian's packages whatever the build, the tests and the program need and this
# machine lacks. Safe to run again: it does nothing when everything is there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config python3
    qt6-base-dev qt6-svg-dev libgl1-mesa-dev
    libcli11-dev libgtest-dev
    fonts-noto-core
    clang libclang-rt-14-dev clang-format
    xvfb xauth
    time
    libical-dev python3-vobject python3-icalendar
    g++-mingw-w64-x86-64 googletest wine wine64
    libz-mingw-w64-dev dpkg-dev nsis p7zip-full
    desktop-file-utils
    chromium
    libzip-dev libexpat1-dev zip unzip
    emscripten
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
