#!/usr/bin/env bash
# Runs the game headless straight into a demo level (--level) for a number of
# frames in a fresh game folder holding the built Data tree; the run must end
# by itself with status 0 and the level must load without a level error.
set -euo pipefail
game=$1 bindings=$2 level=$3 frames=$4
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bindings" "$folder/Actions.cfg"
cp -r "$(dirname "$game")/Data" "$folder/Data"
cd "$folder"
SDL_VIDEODRIVER=offscreen timeout 120 "$game" --windowed --level "$level" --frames "$frames"
grep -q "Kernel ended after $frames frames" log.txt
if grep -E "^Level |track line|no player car|cannot be raced|no physics description|no rigid body|computer-car starts" log.txt; then
  exit 1
fi
