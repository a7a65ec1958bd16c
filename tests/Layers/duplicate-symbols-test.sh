#!/usr/bin/env bash
# duplicate-symbols-test.sh ROOT ARCHIVE...: the duplicate-definition check
# passes on the engine's libraries and fails, naming a symbol and both
# places, when one library is given twice (every definition then repeats).
set -euo pipefail
check="$1/scripts/check-duplicate-symbols.sh"
shift
"$check" "$@" || { echo "the check fails on the engine's libraries"; exit 1; }
if output=$("$check" "$1" "$1"); then
    echo "the check passed a library given twice"
    exit 1
fi
grep -qE "defined in $1:.* $1:" <<<"$output" || { echo "no symbol reported with both places"; echo "$output"; exit 1; }
