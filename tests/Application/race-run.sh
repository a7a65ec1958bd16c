#!/usr/bin/env bash
# Starts a race from the main menu headless, with a fixed frame time and the
# race test's override of the demo in the game folder: the race must have
# started with its level and race clock running, the player's car, driven by
# its script with the throttle held for 600 frames, must have moved more
# than 5 units, and no script may have failed. With a leave-out list (the
# pack's) the game folder holds only the pack and the files the list keeps
# out of it, so the race plays from the pack.
set -euo pipefail
game=$1 bindings=$2 replay=$3 override=$4 loose=${5:-}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bindings" "$folder/Actions.cfg"
data=$(dirname "$game")/Data
if [ -z "$loose" ]; then
  cp -r "$data" "$folder/Data"
else
  mapfile -t patterns < <(sed 's/#.*//; s/^[[:space:]]*//; s/[[:space:]]*$//; /^$/d' "$loose")
  (cd "$data" && find . -type f -printf '%P\n') | while read -r path; do
    for pattern in "${patterns[@]}"; do
      # shellcheck disable=SC2053 # the pattern is matched as a pattern
      if [[ $path == $pattern ]]; then
        mkdir -p "$folder/Data/$(dirname "$path")"
        cp "$data/$path" "$folder/Data/$path"
        break
      fi
    done
  done
  test -s "$folder/Data/game1.dat"
  test ! -e "$folder/Data/Scripts"
fi
cp "$override" "$folder/demo_test.lua"
cd "$folder"
timeout 240 "$game" --headless --windowed --frames 2000 --frame-time 0.0166667 --input "$replay" > out.txt
cat out.txt
if grep "Script Error\|names no script\|could not be loaded\|cannot start" log.txt; then
  exit 1
fi
# A file the game asks for must be found, in the pack or on the disk, and
# every part of a mesh has its material named (an unnamed one is drawn in
# the stand-in colour).
if grep "could not be read" log.txt; then
  exit 1
fi
grep -q "^Race test: the race started: level true, race clock true$" out.txt
moved=$(sed -n 's/^Race test: the car moved //p' out.txt)
test -n "$moved"
awk -v moved="$moved" 'BEGIN { exit !(moved > 5) }'
