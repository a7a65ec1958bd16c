#!/usr/bin/env bash
# check-duplicate-symbols.sh ARCHIVE...: fails when two object files of the
# given static libraries define the same strong global symbol. A linker takes
# the first definition it meets in a static library and never looks at the
# rest, so a second definition would otherwise be chosen silently by library
# order. Weak and unique definitions (inline functions, templates, inline
# variables) may repeat.
set -euo pipefail
duplicates=$(nm -A -g --defined-only "$@" | awk '
    NF >= 3 && $(NF - 1) ~ /^[TDBRG]$/ {
        symbol = $NF
        count[symbol]++
        sub(/:[0-9a-f]+$/, "", $1)
        where[symbol] = where[symbol] " " $1
    }
    END {
        for (symbol in count)
            if (count[symbol] > 1)
                print symbol " defined in" where[symbol]
    }' | sort)
if [[ -n $duplicates ]]; then
    echo "$duplicates"
    echo "error: symbols defined more than once; the link would pick one by library order"
    exit 1
fi
