#!/usr/bin/env bash
# Starts a race from the main menu headless, with the race test's override of
# the demo in the game folder: the race must have started with its level and
# race clock running, the player's car, driven by its script with the
# throttle held for 600 frames, must have moved more than 5 units, and no
# script may have failed.
set -euo pipefail
game=$1 bindings=$2 replay=$3 override=$4
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bindings" "$folder/Actions.cfg"
cp -r "$(dirname "$game")/Data" "$folder/Data"
cp "$override" "$folder/demo_test.lua"
cd "$folder"
SDL_VIDEODRIVER=offscreen timeout 240 "$game" --windowed --frames 2000 --input "$replay" > out.txt
cat out.txt
if grep "Script Error\|names no script\|could not be loaded\|cannot start" log.txt; then
  exit 1
fi
grep -q "^Race test: the race started: level true, race clock true$" out.txt
moved=$(sed -n 's/^Race test: the car moved //p' out.txt)
test -n "$moved"
awk -v moved="$moved" 'BEGIN { exit !(moved > 5) }'
