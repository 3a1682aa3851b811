#!/usr/bin/env bash
# Sets up the machine, builds the command-line host and applies the filter to the sample starfield.
# The sample (made by the seeded generator on the first run), the result and PNG previews of both end
# up in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh

cmake --preset native-release -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCHMARKS=OFF
cmake --build --preset native-release --target corvane -j "$(nproc)"
build/native-release/tools/cli/corvane demo build/demo
