#!/usr/bin/env bash
# Attract mode headless: with "rolling = 1" in config.cfg, Enter on the main
# menu's "start" starts the demo race, which must play itself with nobody at
# the keys: the player's car loads as buggy_enemy.rdf and a computer driver
# drives it with the three others. The game is ended 20 s after "go": the
# player's car must then be far from its place on the grid and no model or
# script may have failed.
set -euo pipefail
game=$1 bindings=$2
source "$(dirname "$0")/game-folder.sh"
enter_game_folder "$game" "$bindings"
printf 'rolling = 1\r\n' > config.cfg
echo 'Demo.introVideo = "none.avi"' > demo_test.lua
printf '30 Enter down\n31 Enter up\n' > input.txt
timeout 300 "$game" --headless --windowed --frames 1412 --frame-time 0.0166667 --input input.txt \
  --trace trace.txt > out.txt
if grep "Script Error\|names no script\|could not be loaded\|missing\|cannot start" log.txt; then
  exit 1
fi
grep -q '^212 game_interface countdown "go"$' trace.txt
test "$(grep -c '^1412 position car' trace.txt)" -eq 3
read -r x y < <(awk '$2 == "position" && $3 == "player" { print $4, $5 }' trace.txt)
awk -v x="$(printf '%f' "$x")" -v y="$(printf '%f' "$y")" 'BEGIN {
  print "player car at", x, y; exit !((x - 20) ^ 2 + (y + 70) ^ 2 > 100 ^ 2) }'
