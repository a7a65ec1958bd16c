#!/usr/bin/env bash
# Builds the demo game's Data tree twice, into two folders of its own, with
# the build's own rules, and compares the trees file by file: every tool that
# writes data must give the same bytes from the same sources (no clock, no
# random numbering, no unordered listing).
set -euo pipefail
cmake=$1 build=$2
first=$build/determinism/first second=$build/determinism/second
rm -rf "$first" "$second"
"$cmake" --build "$build" --target demo_data_first > /dev/null
"$cmake" --build "$build" --target demo_data_second > /dev/null
count=$(find "$first/Data" -type f | wc -l)
test "$count" -gt 100
test -s "$first/Data/game1.dat"
diff -r "$first/Data" "$second/Data"
echo "$count files, the same in both trees"
