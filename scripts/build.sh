#!/usr/bin/env bash
# build.sh <build-dir> [cmake options...] [--target TARGET...]: configures
# (once) and builds the project, or only the targets named, with KV_JOBS
# parallel jobs (default: one per core).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
options=()
targets=()
while (($# > 0)); do
  if [[ $1 == --target ]]; then
    targets+=(--target "$2")
    shift 2
  else
    options+=("$1")
    shift
  fi
done
# Let ccache share results between clones in different folders (CI builds a
# fresh clone each time).
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
cmake -S "$root" -B "$dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$dir" --parallel "${KV_JOBS:-$(nproc)}" "${targets[@]}"
