#!/usr/bin/env bash
# Runs the game headless straight into the demo level (--level) with a fixed
# frame time and a command trace. The scripts must take the race the command
# line started: its display shown and filled, the countdown from 3 to "go",
# and no intro and no menu before it. Escape during the race must leave it
# for the main menu, abandoned: no result, no results page, no save written
# (a first short run starts the profile); Escape on the menu then ends the
# game.
set -euo pipefail
game=$1 bindings=$2
source "$(dirname "$0")/game-folder.sh"
enter_game_folder "$game" "$bindings"
SDL_VIDEODRIVER=offscreen timeout 60 "$game" --headless --windowed --frames 30 > /dev/null
saved=$(md5sum Data/Saves/save0.sav)
printf '400 Esc down\n401 Esc up\n460 Esc down\n461 Esc up\n' > input.txt
timeout 300 "$game" --headless --windowed --level level1 --frames 1000 --frame-time 0.0166667 \
  --input input.txt --trace trace.txt > out.txt
if grep "Script Error\|names no script\|could not be loaded" log.txt; then
  exit 1
fi
awk -v patterns='^[0-9]+ gamemenu add_object
^[0-9]+ gamemenu init_game_interface
^[0-9]+ game_interface countdown "3"$
^[0-9]+ game_interface countdown "go"$
^4[0-9][0-9] main standart_action "escape,0"$
^4[0-9][0-9] menu add_object
^46[0-9] main standart_action "escape,0"$' \
  'BEGIN { n = split(patterns, p, "\n"); i = 1 }
   i <= n && $0 ~ p[i] { print "  " $0; i++ }
   END { if (i <= n) { print "missing in order: " p[i] > "/dev/stderr"; exit 1 } }' trace.txt
if grep -E ' intro add_object | results (add_object|show_results) | main (race_over|level_failed) |^[0-3]?[0-9]?[0-9] menu add_object' trace.txt; then
  echo "the race did not go straight to the display, or it ended with a result" >&2
  exit 1
fi
test "$(md5sum Data/Saves/save0.sav)" = "$saved"
grep -q "Kernel ended after 46[0-9] frames" log.txt
