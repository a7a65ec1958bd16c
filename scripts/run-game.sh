#!/usr/bin/env bash
# Builds the game and runs it from the build folder, which holds the Data
# tree: only the game, its dialogs and its data with the tools that make it
# (the target "game"), no tests and no benchmarks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_BENCH=ON --target game
cd "$root/build/release"
exec ./kestrovar "$@"
