#!/usr/bin/env bash
# Checks that includes run one way through the layers of the tree: a file includes only headers of its
# own folder or of the folders below it. Prints every include that runs the other way; exits 1 if any.
set -euo pipefail
cd "$(dirname "$0")/.."

# Bottom first. Folders on one line are side by side and must not include each other.
layers=(
    "sdk resources"
    "diag"
    "image"
    "engine"
    "presets"
    "host"
    "preview"
    "ui"
    "tools"
    "tests bench fuzz"
)

declare -A rank
for i in "${!layers[@]}"; do
    for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

status=0
while IFS=: read -r file line text; do
    from=${file%%/*}
    to=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    [ -n "${rank[$to]+x}" ] || continue
    if [ "$from" != "$to" ] && [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
        echo "$file:$line: $from/ includes $to/, which is not below it"
        status=1
    fi
done < <(git ls-files -- '*.h' '*.cpp' '*.rc' | grep -E "^($(tr ' ' '|' <<<"${layers[*]}"))/" |
         xargs grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' || true)
exit $status
