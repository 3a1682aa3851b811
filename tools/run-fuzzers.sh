#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs each one for SECONDS (default 10) over its seed corpus, then stops: `tools/run-fuzzers.sh 3600`
# fuzzes each for an hour. Exits non-zero when a target crashes, leaks or hangs.
#
# The seeds in fuzz/corpus/<target>/ are only read; what a run learns goes to build/fuzz/corpus/<target>/,
# which later runs start from, and a failing input to build/fuzz/findings/, ready to replay with
# `build/fuzz/fuzz/fuzz_<target> FILE`.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
targets=(tiff png fits parameter_set registry ui_settings)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "${CORVANE_JOBS:-2}"

# The module keeps its user folders and log under HOME or XDG_DATA_HOME, and the targets their scratch
# file under TMPDIR: all of it in a scratch folder away from the user's own, in memory where there is
# /dev/shm, because every input is written to a file and a disk makes that the slowest part by far.
scratch=$(mktemp -d /dev/shm/corvane-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p build/fuzz/findings
status=0
for target in "${targets[@]}"; do
    mkdir -p "build/fuzz/corpus/$target"
    log=build/fuzz/findings/$target.log
    # -close_fd_mask=3 silences the readers' own messages; libFuzzer and the sanitizers still report.
    if HOME=$scratch XDG_DATA_HOME=$scratch TMPDIR=$scratch "build/fuzz/fuzz/fuzz_$target" \
        "build/fuzz/corpus/$target" "fuzz/corpus/$target" -max_total_time="$seconds" -timeout=10 \
        -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target-" >"$log" 2>&1; then
        runs=$(sed -nE 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz_$target: $runs inputs in ${seconds} s, no failure"
    else
        echo "fuzz_$target: FAILED (log: $log)"
        grep -E "ERROR|SUMMARY|Test unit written" "$log" | head -20 || true
        status=1
    fi
done
exit $status
