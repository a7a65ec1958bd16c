#!/usr/bin/env bash
# build.sh <build-dir> [cmake options...]: configures (once) and builds the project
# with KV_JOBS parallel jobs (default: one per core).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
# Let ccache share results between clones in different folders (CI builds a
# fresh clone each time).
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" --parallel "${KV_JOBS:-$(nproc)}"
