#!/usr/bin/env bash
# Races the demo level headless for 2400 frames of 1/60 s with Up held from
# the first frame and nobody steering: the player's car runs down the first
# straight into the bend and meets the barrier. It must end the run within
# 20 units of the stadium's racing line (two 360-unit straights at y = -70
# and 70 joined by bends of radius 70 about (-180, 0) and (180, 0)) and on
# the ground, not beyond the barriers or fallen off the world.
set -euo pipefail
game=$1 bindings=$2
source "$(dirname "$0")/game-folder.sh"
enter_game_folder "$game" "$bindings"
echo "1 Up down" > throttle.txt
timeout 180 "$game" --headless --windowed --level level1 --frames 2400 --frame-time 0.0166667 \
  --input throttle.txt --trace trace.txt
grep -q "Kernel ended after 2400 frames" log.txt
read -r x y z < <(awk '$2 == "position" && $3 == "player" { print $4, $5, $6 }' trace.txt)
x=$(printf '%f' "$x") y=$(printf '%f' "$y") z=$(printf '%f' "$z")
echo "player car at $x $y $z"
awk -v x="$x" -v y="$y" -v z="$z" 'BEGIN {
  ax = x < 0 ? -x : x
  if (ax <= 180) d = (y < 0 ? -y : y) - 70; else d = sqrt((ax - 180) ^ 2 + y ^ 2) - 70
  if (d < 0) d = -d
  print "distance from the racing line", d
  exit !(d <= 20 && z > 0 && z < 5)
}'
