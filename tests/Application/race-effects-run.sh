#!/usr/bin/env bash
# Starts a race from the main menu headless, with a fixed frame time and the
# race effects test's override of the demo, while the fire key is held: the
# player's script fires the car's lgun, whose shots send
# "update_game_interface" to the display's script, and the car drives into
# the repair crate the override laid ahead of it, which sends "remont!" to the
# race messages' script. The display's and the messages' scripts run with the
# command recorder put before them; no script may fail.
set -euo pipefail
game=$1 bindings=$2 replay=$3 override=$4 recorder=$5
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bindings" "$folder/Actions.cfg"
cp -r "$(dirname "$game")/Data" "$folder/Data"
cp "$override" "$folder/demo_test.lua"
for script in gamemenu game_interface; do
  source=$folder/Data/Scripts/$script.lua
  { echo "RecordedScript = \"$script\""; cat "$recorder" "$source"; } > "$source.recorded"
  mv "$source.recorded" "$source"
done
cd "$folder"
timeout 240 "$game" --headless --windowed --frames 2000 --frame-time 0.0166667 --input "$replay" > out.txt
cat out.txt
if grep "Script Error\|names no script\|could not be loaded\|cannot start" log.txt; then
  exit 1
fi
grep -qx "gamemenu heard update_game_interface()" out.txt
grep -qx "game_interface heard show_message(remont!)" out.txt
grep -qx "Race test: 0 bonuses left" out.txt
