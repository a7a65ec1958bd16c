#!/usr/bin/env bash
# Runs the game for a number of frames on the headless video driver in a
# fresh game folder holding the built Data tree (effects, pictures, scripts)
# and the default key bindings; the run must end by itself with status 0,
# write config.cfg and Actions.cfg, its main script must run without an
# error and the game data must load without a problem. With a file of
# recorded input (--input) the run must end after the given frame instead.
set -euo pipefail
game=$1 bindings=$2 frames=$3 replay=${4:-} ends=${5:-$3}
options=(--windowed --frames "$frames")
if [ -n "$replay" ]; then
  options+=(--input "$replay")
fi
source "$(dirname "$0")/game-folder.sh"
enter_game_folder "$game" "$bindings"
SDL_VIDEODRIVER=offscreen timeout 60 "$game" "${options[@]}"
grep -q "Kernel ended after $ends frames" log.txt
test -s config.cfg
cmp Actions.cfg "$bindings"
if grep "Script Error\|names no script" log.txt; then
  exit 1
fi
if grep -E "strings\.txt|items\.txt|player\.dat|coeff\.dat" log.txt; then
  exit 1
fi
