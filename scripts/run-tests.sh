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

# Pixel tests compare exact colours: draw with Mesa's software renderer even
# where the machine has a GPU, so every machine rasterises alike.
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
# Mesa's rasteriser threads can crash the leak checker's tracer at exit:
# draw on the calling thread.
export LP_NUM_THREADS=0
mesa_egl=/usr/share/glvnd/egl_vendor.d/50_mesa.json
if [[ -f "$mesa_egl" ]]; then
  export __EGL_VENDOR_LIBRARY_FILENAMES="$mesa_egl"
fi
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# One shuffle seed for every test program of this run, printed, so that a
# case that fails after another fails again when its program runs again.
export GTEST_RANDOM_SEED=${GTEST_RANDOM_SEED:-$(($(date +%s) % 99999 + 1))}
echo "== test order seed $GTEST_RANDOM_SEED"

# Runs one build's suite; the tests that failed run once more, one at a
# time, in the same order, and decide. A failure that does not repeat (the
# leak checker's tracer can crash under load) stays in the output above.
run_suite() {
  if ctest --test-dir "$1" --output-on-failure --parallel "$jobs"; then
    return 0
  fi
  echo "== failed tests again, one at a time"
  ctest --test-dir "$1" --rerun-failed --output-on-failure
}
echo "== tests (release build)"
run_suite "$root/build/release"
echo "== tests (sanitizer build)"
run_suite "$root/build/asan"
