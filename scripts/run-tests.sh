#!/usr/bin/env bash
# Builds and runs every test: a warnings-as-errors build and a sanitizer
# (ASan + UBSan) build, each followed by the whole CTest suite, after checks
# that the sources follow .clang-format and that includes keep the layering.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/check-format.sh"
"$root/scripts/check-layers.sh"

jobs=${KV_JOBS:-$(nproc)}
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_WERROR=ON -DKV_BENCH=ON
"$root/scripts/build.sh" "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DKV_WERROR=ON -DKV_SANITIZE=ON

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== tests (release build)"
ctest --test-dir "$root/build/release" --output-on-failure --parallel "$jobs"
echo "== tests (sanitizer build)"
ctest --test-dir "$root/build/asan" --output-on-failure --parallel "$jobs"
