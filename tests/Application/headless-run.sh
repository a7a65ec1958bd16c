#!/usr/bin/env bash
# Runs the game for a number of frames on the headless video driver in a
# fresh game folder holding the built Data tree and the default key bindings; the run must end
# by itself with status 0 and write config.cfg and Actions.cfg.
set -euo pipefail
game=$1 bindings=$2 frames=$3
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bindings" "$folder/Actions.cfg"
# The engine's own effects and pictures, as the build wrote them.
cp -r "$(dirname "$game")/Data" "$folder/Data"
cd "$folder"
SDL_VIDEODRIVER=offscreen timeout 60 "$game" --windowed --frames "$frames"
grep -q "Kernel ended after $frames frames" log.txt
test -s config.cfg
cmp Actions.cfg "$bindings"
