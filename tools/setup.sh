#!/usr/bin/env bash
# Installs every Debian package the native build, the Windows cross build and the tests need.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
    # Both builds, and the formatting check.
    cmake ninja-build g++ clang-format
    # GoogleTest, built from its sources by each build (tests/CMakeLists.txt).
    googletest
    # The command-line host's image files.
    pkg-config libtiff-dev libpng-dev libcfitsio-dev zlib1g-dev
    # The Windows module: mingw-w64 with its POSIX thread model (cmake/mingw-w64-x86_64.cmake).
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    # The Windows tests: Wine under a virtual display, with Wine's own fonts so that windows and their
    # screenshots look as they do on Windows.
    wine64 xvfb xauth fonts-wine
    # The fuzz targets: clang with libFuzzer and the sanitizer runtimes (tools/run-fuzzers.sh).
    clang-14 libclang-rt-14-dev
    # The Debian package: its library dependencies come from dpkg-shlibdeps, which CPack finds through file.
    dpkg-dev file
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
