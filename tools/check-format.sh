#!/usr/bin/env bash
# Checks that every C++ file is formatted by the project's .clang-format; prints the files that are not.
# `tools/check-format.sh --fix` formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
unformatted=$(clang-format --dry-run "${files[@]}" 2>&1 | sed -nE 's/^([^:]+):[0-9]+:[0-9]+: warning:.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
    echo "Not formatted (run tools/check-format.sh --fix):"
    echo "$unformatted"
    exit 1
fi
