#!/usr/bin/env bash
# Runs the same race twice, headless, with the same input (the intro skipped,
# the race started from the menu, the autodriver driving and firing) and the
# same fixed frame time, and ends both during the race. The two traces must
# be the same line for line, with the final positions of every car equal to
# the bit. Object handles are addresses, which differ from run to run: each
# is replaced by the order in which it first appears, so the traces must
# still name the same objects in the same places.
set -euo pipefail
game=$1 bindings=$2
source "$(dirname "$0")/game-folder.sh"
enter_game_folder "$game" "$bindings"
echo 'Demo.laps = 1 Demo.levelTime = 180' > demo_test.lua
printf '5 Esc down\n6 Esc up\n30 Enter down\n31 Enter up\n40 autodrive on\n' > input.txt
for run in 1 2; do
  rm -f config.cfg
  timeout 300 "$game" --headless --windowed --frames 1500 --frame-time 0.0166667 --input input.txt \
    --trace "trace$run.txt" > /dev/null
  awk '{ while (match($0, /"[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]+"/)) {
           h = substr($0, RSTART, RLENGTH)
           if (!(h in seen)) seen[h] = "\"handle" ++n "\""
           $0 = substr($0, 1, RSTART - 1) seen[h] substr($0, RSTART + RLENGTH)
         }
         print }' "trace$run.txt" > "same$run.txt"
done
grep '^1500 position player ' same1.txt
test "$(grep -c '^1500 position ' same1.txt)" -eq 4
diff same1.txt same2.txt
