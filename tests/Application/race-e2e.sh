#!/usr/bin/env bash
# The whole journey headless, with a fixed frame time and a command trace:
# the intro is skipped, Enter on "start" starts a two-lap race (the end-to-end
# override of the demo in the game folder, which also holds the nitro from
# "go" so that the reserve runs dry before a pad), the autodriver, switched on some
# two seconds after "go" so that computer drivers finish first, drives the
# player's car through the bound keys and fires, the race ends, the results
# page comes and Escape, pressed every 300 frames once the race has ended
# (from frame 6600, or 2400 when the clock ends it: Escape would leave a race
# under way), goes back to the menu and then ends the game. The trace must
# hold the steps in order (the countdown from 3, the display's place, a shot
# after "go" reaching the display, a place behind a computer driver, or the
# loss once all three finished, before the result), so a computer driver
# completed its lap; the race must not end by the level clock or a missed
# checkpoint; a shot must have hit a computer car (its script heard the
# damage), the player's car must have been hit by an opponent (its script
# heard the damage), both checkpoint gates must have reached the race
# messages, a refill pad must have filled the nitro reserve (the override
# prints each rise of the reserve) and no car may have been put back on the
# track; the display's last place must be the player's final one; the
# results must show the time from "go" to the end of the race and the best
# lap (none when the player completed none) and the races' record table, which
# a placed player's lap enters (and so the score file). The game must end by itself before
# the frame cap with status 0, write config.cfg and keep Actions.cfg (the game
# rewrites it only when the bindings changed), and log no script error.
#
# With "clock" as the third argument nobody drives: the race ends by the
# level clock ("level_failed"), the results come with the time driven and no
# lap, and Escape brings the menu back and ends the game.
set -euo pipefail
game=$1 bindings=$2 variant=${3:-race}
frames=9000
source "$(dirname "$0")/game-folder.sh"
enter_game_folder "$game" "$bindings"
# A game run in the build folder leaves its records there.
rm -f Data/scores.dat
# The level clock is the race's length in seconds times the difficulty's
# coefficient.
if [ "$variant" = clock ]; then
  echo 'Demo.laps = 1 Demo.levelTime = 20' > demo_test.lua
else
  cat > demo_test.lua <<'LUA'
Demo.laps = 2 Demo.levelTime = 180
function DemoTest.OnRaceStarted()
  PlayerNitro(1)
end
local lastNitro = nil
function DemoTest.OnRaceFrame()
  local nitro = GetNitro()
  if lastNitro and nitro and nitro > lastNitro + 1 then
    print(string.format("Race test: nitro refilled from %.1f to %.1f", lastNitro, nitro))
  end
  lastNitro = nitro
end
LUA
fi
{
  printf '5 Esc down\n6 Esc up\n30 Enter down\n31 Enter up\n'
  if [ "$variant" != clock ]; then printf '330 autodrive on\n'; fi
  escape_from=6600
  if [ "$variant" = clock ]; then escape_from=2400; fi
  for f in $(seq $escape_from 300 $((frames - 300))); do printf '%d Esc down\n%d Esc up\n' "$f" $((f + 1)); done
} > input.txt
status=0
timeout 600 "$game" --headless --windowed --frames $frames --frame-time 0.0166667 --input input.txt \
  --trace trace.txt > out.txt || status=$?
test "$status" -eq 0
if grep "Script Error\|names no script\|could not be loaded\|cannot start\|could not be written" log.txt; then
  exit 1
fi

# Each pattern must match a later trace line than the one before it.
in_order() {
  awk -v patterns="$1" 'BEGIN { n = split(patterns, p, "\n"); i = 1 }
    i <= n && $0 ~ p[i] { print "  " $0; i++ }
    END { if (i <= n) { print "missing in order: " p[i] > "/dev/stderr"; exit 1 } }' trace.txt
}
queued='"[^"]*"$'
if [ "$variant" = clock ]; then
  in_order "^[0-9]+ menu add_object $queued
^[0-9]+ main start_race $queued
^[0-9]+ game_interface countdown \"3\"$
^[0-9]+ game_interface countdown \"go\"$
^[0-9]+ main level_failed $queued
^[0-9]+ results add_object $queued
^[0-9]+ results show_results \"Out of time,
^[0-9]+ menu add_object $queued"
else
  in_order "^[0-9]+ menu add_object $queued
^[0-9]+ menu button \"start\"$
^[0-9]+ main start_race $queued
^[0-9]+ gamemenu set_money $queued
^[0-9]+ gamemenu init_game_interface $queued
^[0-9]+ game_interface countdown \"3\"$
^[0-9]+ game_interface countdown \"2\"$
^[0-9]+ game_interface countdown \"1\"$
^[0-9]+ game_interface countdown \"go\"$
^[0-9]+ gamemenu hud_place \"[1-4]/4\"$
^[0-9]+ jeep key_action \"fire,1\"$
^[0-9]+ gamemenu update_game_interface $queued
^[0-9]+ game_interface (place \"(2nd|3rd)\"|show_message \"lost!\")$
^[0-9]+ jeep game_over $queued
^[0-9]+ main race_over $queued
^[0-9]+ results add_object $queued
^[0-9]+ results show_results $queued
^[0-9]+ menu add_object $queued"
  if grep -E ' main level_failed | game_interface checkpoint "timeout!' trace.txt; then
    echo "the race ended by a clock, not by a lap" >&2
    exit 1
  fi
  if ! grep -qE '^[0-9]+ rival[1-3] damage "[0-9.]+"$' trace.txt; then
    echo "no shot hit a computer car" >&2
    exit 1
  fi
  if ! grep -qE '^[0-9]+ jeep damage "[0-9.]+"$' trace.txt; then
    echo "no opponent hit the player's car" >&2
    exit 1
  fi
  for gate in 0 1; do
    grep -m1 -E "^[0-9]+ game_interface checkpoint \"checkpoint!,$gate\"$" trace.txt
  done
  grep -m1 "Race test: nitro refilled" out.txt
  if grep "put back on the track" log.txt; then
    echo "a car was put back on the track" >&2
    exit 1
  fi
  final=$(sed -n 's/^[0-9]* game_interface place "\([23]\)[a-z]*"$/\1/p' trace.txt)
  test "$(sed -n 's/^[0-9]* gamemenu hud_place "\(.*\)"$/\1/p' trace.txt | tail -1)" = "${final:-4}/4"
fi

# The results: "place,race time,best lap". The race time is the time from
# "go" to the frame the race ended in (the engine's "game_over" or
# "level_failed"), within two frames; the best lap is a lap no longer than
# the race, and "--:--:--" when the player completed no lap (a placed
# player completed both).
frame_of() { sed -n "s/^\([0-9]*\) $1$/\1/p" trace.txt | head -1; }
IFS=, read -r placed race_time best_lap < <(sed -n 's/^[0-9]* results show_results "\(.*\)"$/\1/p' trace.txt)
echo "results: $placed, race time $race_time, best lap $best_lap"
go=$(frame_of 'game_interface countdown "go"')
end=$(frame_of "\(jeep game_over\|main level_failed\) .*")
awk -v shown="$race_time" -v frames=$((end - go)) 'BEGIN {
  split(shown, t, ":"); seconds = t[1] * 60 + t[2] + t[3] / 100
  exit !(shown ~ /^[0-9][0-9]:[0-5][0-9]:[0-9][0-9]$/ && seconds > 1 && (seconds - frames / 60) ^ 2 < (2 / 60) ^ 2) }'
seconds() { awk -v t="$1" 'BEGIN { split(t, p, ":"); print p[1] * 60 + p[2] + p[3] / 100 }'; }
if [ "$best_lap" != "--:--:--" ]; then
  [[ $best_lap =~ ^[0-9][0-9]:[0-5][0-9]:[0-9][0-9]$ ]]
  awk -v lap="$(seconds "$best_lap")" -v race="$(seconds "$race_time")" 'BEGIN { exit !(lap > 1 && lap <= race) }'
else
  case $placed in 2nd|3rd) exit 1 ;; esac
fi
# A placed player's best lap enters the races' record table (a fresh one
# has room); a race not placed offers none.
case $placed in
  2nd|3rd) grep -q '^[0-9]* results show_records "1,true"$' trace.txt
           test -s Data/scores.dat ;;
  *) grep -q '^[0-9]* results show_records "1,false"$' trace.txt
     test ! -e Data/scores.dat ;;
esac
ended=$(sed -n 's/^Kernel ended after \([0-9]*\) frames$/\1/p' log.txt)
echo "the game ended after $ended frames"
test "$ended" -lt $frames
test -s config.cfg
cmp Actions.cfg "$bindings"
