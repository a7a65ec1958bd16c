#!/usr/bin/env bash
# Runs two one-lap time trials headless, with a fixed frame time and a
# command trace: the menu asks for a time trial whenever it shows (the test's
# starter is put before its script), the autodriver drives from the first
# frame and Enter, pressed every 200 frames from frame 1000, leaves the
# results. The trials race no computer car; the first completes its lap, a
# new best lap that the results show with the lap time, that the profile
# keeps in its save and that enters the time trials' record table; the
# second is ended 10 s after its "go", and the ghost of the first run must
# then stand where the first run's car was at that time: on the track, away
# from where the model was made, and close to the player's car, which drives
# the same way.
set -euo pipefail
game=$1 bindings=$2 starter=$3 savetool=$4 gamedatatool=$5
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bindings" "$folder/Actions.cfg"
cp -r "$(dirname "$game")/Data" "$folder/Data"
menu=$folder/Data/Scripts/menu.lua
cat "$starter" "$menu" > "$menu.started"
mv "$menu.started" "$menu"
cd "$folder"
# A game run in the build folder leaves its profile and records there.
rm -rf Data/Saves Data/scores.dat
cat > demo_test.lua <<'LUA'
Demo.trialLaps = 1
Demo.introVideo = "none.avi"
local trials, frames = 0, 0
function DemoTest.OnRaceStarted()
    trials = trials + 1
    frames = 0
end
function DemoTest.OnRaceFrame()
    frames = frames + 1
    if trials == 2 and frames == 600 then
        KillAllTasks()
    end
end
LUA
{
  echo '1 autodrive on'
  for f in $(seq 1000 200 5800); do printf '%d Enter down\n%d Enter up\n' "$f" $((f + 1)); done
} > input.txt
timeout 600 "$game" --headless --windowed --frames 6000 --frame-time 0.0166667 --input input.txt \
  --trace trace.txt > out.txt
if grep "Script Error\|names no script\|could not be loaded\|cannot start" log.txt; then
  exit 1
fi
awk -v patterns='^[0-9]+ main start_time_trial
^[0-9]+ game_interface countdown "go"$
^[0-9]+ jeep game_over
^[0-9]+ results show_records "2,true"$
^[0-9]+ results show_trial "New best lap!,[0-9:]+,[0-9:]+"$
^[0-9]+ main start_time_trial
^[0-9]+ game_interface countdown "go"$
^[0-9]+ position ghost ' \
  'BEGIN { n = split(patterns, p, "\n"); i = 1 }
   i <= n && $0 ~ p[i] { print "  " $0; i++ }
   END { if (i <= n) { print "missing in order: " p[i] > "/dev/stderr"; exit 1 } }' trace.txt
if grep -E ' rival[1-3] add_object |position car' trace.txt; then
  echo "a computer car raced in a time trial" >&2
  exit 1
fi
# One lap: the lap time is the best lap.
IFS=, read -r _ lap best < <(sed -n 's/^[0-9]* results show_trial "\(.*\)"$/\1/p' trace.txt)
test "$lap" = "$best"
# The profile's record of level1 holds the run by the buggy: its time (the
# results cut it to hundredths, the dump rounds it) and its samples, one a
# little more than each 0.05 s of the run and the countdown before it.
"$savetool" dump Data/Saves/save0.sav > save.txt
read -r seconds samples < <(sed -n 's/^race 0: best time \([0-9.]*\), value 4, \([0-9]*\) samples by "buggy"$/\1 \2/p' save.txt)
echo "saved best run: $seconds s, $samples samples"
awk -v shown="$best" -v seconds="$seconds" -v samples="$samples" 'BEGIN {
  split(shown, t, ":"); d = seconds - (t[1] * 60 + t[2] + t[3] / 100); exit !(d > -0.006 && d < 0.016 && samples > 14 * seconds) }'
position() { awk -v car="$1" '$2 == "position" && $3 == car { print $4, $5 }' trace.txt; }
read -r px py < <(position player)
read -r gx gy < <(position ghost)
awk -v px="$(printf '%f' "$px")" -v py="$(printf '%f' "$py")" \
    -v gx="$(printf '%f' "$gx")" -v gy="$(printf '%f' "$gy")" 'BEGIN {
  apart = sqrt((px - gx) ^ 2 + (py - gy) ^ 2)
  print "ghost at", gx, gy, "player at", px, py, "apart", apart
  exit !(apart < 20 && gx * gx + gy * gy > 50 * 50) }'
# The lap entered the time trials' record table (the second of the score
# file's tables, index 1) under the profile's name, the only line set.
"$gamedatatool" scores Data/scores.dat > scores.txt
IFS=: read -r minutes seconds hundredths <<< "$best"
grep -qx "1 \"Player\" $((10#$minutes)) $((10#$seconds)) $((10#$hundredths))" scores.txt
test "$(grep -vc '^[0-5] "" 999 0 0$' scores.txt)" -eq 1
