#!/usr/bin/env bash
# Installs every Debian package the native build, the Windows cross build and the tests need.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    googletest libgtest-dev libbenchmark-dev
    libtiff-dev libpng-dev libcfitsio-dev zlib1g-dev
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    wine64 xvfb xauth imagemagick
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The Windows build links the C++ runtime statically and needs the POSIX thread model of mingw-w64
# only for std::thread, which the module does not use; the default (win32) alternative is kept.
