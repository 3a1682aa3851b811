#!/usr/bin/env bash
# Builds both builds and runs every test: natively under AddressSanitizer and UndefinedBehaviorSanitizer,
# the fuzz targets for a few seconds each, the Windows module and its tests under Wine, and the release
# packages. Exits non-zero when any build or test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh

jobs=$(nproc)
status=0

# The tree's own rules: includes run one way through the layers, and every file is formatted.
tools/check-layers.sh || status=1
tools/check-format.sh || status=1

cmake --preset native-debug
cmake --build --preset native-debug -j "$jobs"
ctest --preset native-debug -j "$jobs" || status=1

# Every reader of outside data, fuzzed briefly on top of the tests (tools/run-fuzzers.sh 3600 for longer).
CORVANE_JOBS=$jobs tools/run-fuzzers.sh 8 || status=1

cmake --preset windows
cmake --build --preset windows -j "$jobs"

# One persistent Wine server for all Windows tests: each Wine start then takes well under a second.
export CORVANE_WINEPREFIX="${CORVANE_WINEPREFIX:-$PWD/build/windows/wineprefix}"
export WINEPREFIX="$CORVANE_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$CORVANE_WINEPREFIX"
/usr/lib/wine/wineserver -p
trap '/usr/lib/wine/wineserver -k || true' EXIT
# The first Wine process in a new prefix creates it and starts background services that inherit its
# output; started here with output discarded, they cannot keep CTest's pipes open and stall the run.
# A prefix created without a display cannot show message boxes afterwards, so it is made under Xvfb.
xvfb-run -a tools/wine-run.sh cmd /c exit >/dev/null 2>&1 </dev/null || true
# Xvfb has no window manager, and Wine then waits about 2 s whenever a window closes unless it manages
# its windows itself.
xvfb-run -a tools/wine-run.sh reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 </dev/null || true
# A Wine process can, rarely, stall at exit after its tests have passed; the preset gives each test
# program four minutes and runs one that timed out a second time, so only a repeatable hang fails.
xvfb-run -a ctest --preset windows || status=1

# The release packages, installed into a scratch root and run there.
CORVANE_JOBS=$jobs tools/test-packages.sh || status=1

exit $status
