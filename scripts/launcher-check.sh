#!/usr/bin/env bash
# Shows the real launcher on a virtual display (Xvfb), takes screenshots of
# it and of its Options dialog, then presses "Start in windowed mode" and
# checks that the game runs its frames. Needs xvfb, xdotool and imagemagick;
# run after a build. Screenshots go to the folder given (default: .).
#   bash scripts/launcher-check.sh [shots-folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shots=$(cd "${1:-.}" && pwd)
game_dir=$root/build/release
if [[ -z "${DISPLAY:-}" || "${KV_IN_XVFB:-}" != 1 ]]; then
  exec env KV_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$shots"
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp -r "$game_dir/Data" "$game_dir/Actions.cfg" "$folder/"
cd "$folder"
"$game_dir/kestrovar" --frames 100 &
game=$!
sleep 5
import -window root "$shots/launcher.png"
# The launcher (665 x 538) and Options (279 x 171) are centred on 1280 x 1024.
xdotool mousemove 733 758 click 1 # Options
sleep 1
import -window root "$shots/options.png"
xdotool key Escape # Cancel
sleep 1
xdotool mousemove 526 758 click 1 # Start in windowed mode
wait "$game"
grep -q "Kernel ended after 100 frames" log.txt
grep -q "fullScreen = 0" config.cfg
echo "The launcher started the game windowed; screenshots in $shots"
