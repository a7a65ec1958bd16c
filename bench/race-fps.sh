#!/usr/bin/env bash
# The frame rate of a race as a player sees it, on the real executable under
# a virtual display with software OpenGL: the intro skipped, the race started
# from the menu, the player's car driven by the autodriver, a fixed frame
# time (so every run draws the same frames), windowed at WIDTHxHEIGHT with
# motion blur and bloom on. Frames per second over the last 100 of 200
# frames (the race starts at frame 32), median of RUNS runs;
# with a baseline build the two builds run by turns in the same session.
#   bash bench/race-fps.sh BUILD_DIR [BASELINE_BUILD_DIR] [RUNS] [WIDTHxHEIGHT]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/game-runs.sh"
ensure_virtual_display "$0" "$@"
build=$(cd "$1" && pwd)
baseline=${2:+$(cd "$2" && pwd)}
runs=${3:-3}
size=${4:-1024x768}
PROBE=$(probe_library "$build")
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frames=200
measured=100

names=(new)
dirs=("$build")
if [[ -n "$baseline" ]]; then
  names+=(baseline)
  dirs+=("$baseline")
fi
config="screenWidth = ${size%x*}\r\nscreenHeight = ${size#*x}\r\nbloom = 1\r\nblur = 1\r\n"
for i in "${!names[@]}"; do
  make_game_folder "${dirs[$i]}" "$work/${names[$i]}" "$config"
  printf '1 Esc down\n2 Esc up\n30 Enter down\n31 Enter up\n40 autodrive on\n' > "$work/${names[$i]}/drive.txt"
done
for ((run = 0; run < runs; ++run)); do
  for i in "${!names[@]}"; do
    folder=$work/${names[$i]}
    probe_run "$folder" "${dirs[$i]}/kestrovar" --windowed --input drive.txt \
      --frame-time 0.0166667 --frames $frames
    count=$(frame_count "$folder")
    first=$(frame_time "$folder" $((count - measured)))
    last=$(frame_time "$folder" "$count")
    awk -v n=$measured -v a="$first" -v b="$last" 'BEGIN {print n / ((b - a) / 1e9)}' >> "$work/${names[$i]}.fps"
  done
done
printf '%-10s %12s   (%s, bloom and blur on, median of %d runs)\n' "" "frames/s" "$size" "$runs"
for name in "${names[@]}"; do
  printf '%-10s %12.2f   (runs: %s)\n' "$name" "$(median < "$work/$name.fps")" "$(tr '\n' ' ' < "$work/$name.fps")"
done
