#!/usr/bin/env bash
# Races the demo level headless for 900 frames of 1/60 s after its countdown
# of 3 s (180 frames) with the autodriver on from the first frame and a
# command trace. The autodriver's keys must
# reach the car's script as bound actions, every trace line must have the
# trace's form, and the player's car must have followed the stadium's
# racing line (two 360-unit straights at y = -70 and 70 joined by bends of
# radius 70 about (-180, 0) and (180, 0), raced clockwise from (20, -70))
# into the far bend: a car that went straight on would have left the road.
# The level must load without a level error.
set -euo pipefail
game=$1 bindings=$2
source "$(dirname "$0")/game-folder.sh"
enter_game_folder "$game" "$bindings"
echo "1 autodrive on" > drive.txt
frames=1080
timeout 120 "$game" --headless --windowed --level level1 --frames $frames --frame-time 0.0166667 \
  --input drive.txt --trace trace.txt
grep -q "Kernel ended after $frames frames" log.txt
if grep -E "^Level |track line|no player car|cannot be raced|no physics description|no rigid body|computer-car starts" log.txt; then
  exit 1
fi
for action in up fire nitro; do
  grep -q "^[0-9]* jeep key_action \"$action,1\"$" trace.txt
done
if grep -Ev '^[0-9]+ [^ ]+ [^ ]+ ".*"( dropped)?$|^'$frames' position (player|car[0-9]+)( -?0x[0-9a-f.]+p[-+][0-9]+){3}$' trace.txt; then
  echo "lines not of the trace's form" >&2
  exit 1
fi
test "$(grep -c "^$frames position car" trace.txt)" -eq 3
read -r x y < <(awk '$2 == "position" && $3 == "player" { print $4, $5 }' trace.txt)
x=$(printf '%f' "$x") y=$(printf '%f' "$y")
echo "player car at $x $y"
awk -v x="$x" -v y="$y" 'BEGIN {
  ax = x < 0 ? -x : x; ay = y < 0 ? -y : y
  if (ax <= 180) d = ay - 70; else d = sqrt((ax - 180) ^ 2 + y ^ 2) - 70
  if (d < 0) d = -d
  print "distance from the racing line", d
  exit !(x < -180 && d < 12)
}'
