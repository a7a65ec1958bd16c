#!/usr/bin/env bash
# What a player waits for, measured on the real executable under a virtual
# display with software OpenGL, windowed at 640 x 480:
#   exec to first frame  from the exec of the program to the first frame
#                        shown (the end of its buffer swap)
#   menu to race         from the last menu frame before Enter to the race's
#                        first frame shown (the intro skipped with Escape,
#                        Enter on the menu's Start at frame 30)
# Each is the median of RUNS runs; with a baseline build the two builds run
# by turns in the same session, so that both see the same machine load.
#   bash bench/startup.sh BUILD_DIR [BASELINE_BUILD_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/game-runs.sh"
ensure_virtual_display "$0" "$@"
build=$(cd "$1" && pwd)
baseline=${2:+$(cd "$2" && pwd)}
runs=${3:-5}
PROBE=$(probe_library "$build")
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
enter=30

# The first race frame: the first frame after the Enter whose run shows more
# than one frame more than the run a frame shorter (the loading screens).
# Prints the frame and the number of loading-screen frames.
find_race_frame() {
  local folder=$1 exe=$2 before frames count
  probe_run "$folder" "$exe" --windowed --input "$work/menu.txt" --frame-time 0.0166667 --frames $enter
  before=$(frame_count "$folder")
  for ((frames = enter + 1; frames < enter + 20; ++frames)); do
    probe_run "$folder" "$exe" --windowed --input "$work/menu.txt" --frame-time 0.0166667 --frames $frames
    count=$(frame_count "$folder")
    if ((count - before > 1)); then
      echo "$frames $((count - before - 1))"
      return
    fi
    before=$count
  done
  echo "no race started within 20 frames of the Enter" >&2
  exit 1
}

# measure NAME BUILD: RUNS of each figure into $work/NAME.first and .race.
measure_once() {
  local name=$1 exe=$2/kestrovar folder=$work/$1 race_frame loading start count menu_line
  read -r race_frame loading < "$folder/race-frame.txt"
  probe_run "$folder" "$exe" --windowed --input "$work/menu.txt" --frame-time 0.0166667 --frames "$race_frame"
  start=$(cat "$folder/start.txt")
  count=$(frame_count "$folder")
  # The frames from the last menu frame on are single swaps but for the
  # loading screens shown while the race's first frame is made.
  menu_line=$((count - loading - (race_frame - enter)))
  echo "$(( $(frame_time "$folder" 1) - start ))" >> "$work/$name.first"
  echo "$(( $(frame_time "$folder" "$count") - $(frame_time "$folder" "$menu_line") ))" >> "$work/$name.race"
}

printf '1 Esc down\n2 Esc up\n%d Enter down\n%d Enter up\n' $enter $((enter + 1)) > "$work/menu.txt"
names=(new)
dirs=("$build")
if [[ -n "$baseline" ]]; then
  names+=(baseline)
  dirs+=("$baseline")
fi
for i in "${!names[@]}"; do
  make_game_folder "${dirs[$i]}" "$work/${names[$i]}" 'screenWidth = 640\r\nscreenHeight = 480\r\n'
  find_race_frame "$work/${names[$i]}" "${dirs[$i]}/kestrovar" > "$work/${names[$i]}/race-frame.txt"
done
for ((run = 0; run < runs; ++run)); do
  for i in "${!names[@]}"; do
    measure_once "${names[$i]}" "${dirs[$i]}"
  done
done
printf '%-10s %22s %18s   (medians of %d runs, seconds)\n' "" "exec to first frame" "menu to race" "$runs"
for name in "${names[@]}"; do
  printf '%-10s %22.3f %18.3f\n' "$name" "$(median < "$work/$name.first" | awk '{print $1 / 1e9}')" \
    "$(median < "$work/$name.race" | awk '{print $1 / 1e9}')"
done
