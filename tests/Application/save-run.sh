#!/usr/bin/env bash
# Runs the game twice headless in a fresh game folder holding the built Data
# tree: the first run starts a profile and saves it in the first slot, which
# the save tool must read; the second run must load that profile back
# instead of starting another.
set -euo pipefail
game=$1 bindings=$2 savetool=$3 frames=$4
source "$(dirname "$0")/game-folder.sh"
enter_game_folder "$game" "$bindings"
rm -rf Data/Saves
SDL_VIDEODRIVER=offscreen timeout 60 "$game" --windowed --frames "$frames" >/dev/null
"$savetool" dump Data/Saves/save0.sav >dump.txt
grep -qx 'profile: "Player"' dump.txt
grep -qx 'player: "buggy"' dump.txt
# The second run would name a new profile "Other"; it must find "Player".
cat >demo_test.lua <<'LUA'
Demo.profile = "Other"
DemoTest.OnProfileLoaded = function()
    print("profile after start: " .. GetProfileName())
end
LUA
SDL_VIDEODRIVER=offscreen timeout 60 "$game" --windowed --frames "$frames" >out.txt
grep -qx "profile after start: Player" out.txt
if grep "Script Error" log.txt; then
  exit 1
fi
