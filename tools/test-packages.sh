#!/usr/bin/env bash
# Makes the release packages and checks them as a user would receive them: the Debian package of
# `corvane` is unpacked into a scratch root, where the program must report the package's version and
# run its demo; the Windows zip must hold the module, the install note, the licence and the README.
# Expects the windows preset to be built already (tools/run-tests.sh builds it first).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${CORVANE_JOBS:-2}
status=0
fail() {
    echo "packages: $*"
    status=1
}

rm -f build/native-release/packages/*.deb build/windows/packages/*.zip
cmake --preset native-release >/dev/null
cmake --build --preset native-release -j "$jobs" --target corvane
cpack --preset deb >/dev/null
deb=$(ls build/native-release/packages/corvane_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for library in libtiff libpng libcfitsio libstdc++; do
    grep -q "$library" <<<"$depends" || fail "$deb does not declare $library (Depends: $depends)"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
[ "$("$root/usr/bin/corvane" --version)" = "corvane (Corvane Pro) $version" ] ||
    fail "the installed corvane does not report version $version"
XDG_DATA_HOME=$root/data "$root/usr/bin/corvane" demo "$root/demo" >/dev/null 2>&1 || fail "corvane demo failed"
for file in starfield.tif starfield.png starfield-spikes.tif starfield-spikes.png; do
    [ -s "$root/demo/$file" ] || fail "corvane demo did not write $file"
done
echo "$deb: $(stat -c %s "$deb") bytes"

cmake --build --preset windows -j "$jobs" --target CorvanePro
cpack --preset windows-zip >/dev/null
zip=build/windows/packages/CorvanePro-$version-win64.zip
if [ -f "$zip" ]; then
    contents=$(cmake -E tar tf "$zip")
    for file in CorvanePro.8bf INSTALL.txt LICENSE.txt README.md; do
        grep -qx "CorvanePro-$version-win64/$file" <<<"$contents" || fail "$zip lacks $file"
    done
    echo "$zip: $(stat -c %s "$zip") bytes"
else
    fail "no $zip (the module and the command-line host must share one version)"
fi
exit $status
