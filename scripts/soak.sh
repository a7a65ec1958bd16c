#!/usr/bin/env bash
# soak.sh [BUILD_DIR] [FRAMES]: a long headless race of the demo game (not
# part of the test suite). The race (99 laps, a level clock that does not run
# out) starts from the menu and the autodriver drives the player's car for
# FRAMES frames (100,000 by default) of 1/60 s. The race override prints the
# game's resident memory every 10,000 frames of the race; the soak fails
# when the last figure is more than 5% above or below the one at frame
# 10,000, when the game does not end by itself with status 0, or when the
# log holds an error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
frames=${2:-100000}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp -r "$build/Data" "$folder/Data"
cp "$root/data/Actions.cfg" "$folder/Actions.cfg"
cd "$folder"
cat > demo_test.lua <<'LUA'
Demo.laps = 99
Demo.levelTime = 1000000
local frames = 0
local function ResidentKilobytes()
    local status = io.open("/proc/self/status", "r")
    local text = status:read("*a")
    status:close()
    return tonumber(text:match("VmRSS:%s*(%d+)"))
end
function DemoTest.OnRaceFrame()
    frames = frames + 1
    if frames % 10000 == 0 then
        print(string.format("soak: race frame %d resident %d kB", frames, ResidentKilobytes()))
    end
end
LUA
printf '1 Esc down\n2 Esc up\n30 Enter down\n31 Enter up\n40 autodrive on\n' > input.txt
start=$(date +%s)
SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null "$build/kestrovar" --headless --windowed \
  --frames $((frames + 400)) --frame-time 0.0166667 --input input.txt > out.txt 2> err.txt
echo "ran $((frames + 400)) frames in $(($(date +%s) - start)) s"
grep "^soak:" out.txt
first=$(awk '/^soak: race frame 10000 / { print $6 }' out.txt)
last=$(awk '/^soak:/ { value = $6 } END { print value }' out.txt)
test -n "$first" && test -n "$last"
if grep -i "error\|failed\|cannot" log.txt; then
  echo "soak: the log holds errors" >&2
  exit 1
fi
awk -v first="$first" -v last="$last" 'BEGIN {
  change = 100 * (last - first) / first
  printf "soak: resident memory %d kB at race frame 10000, %d kB at the end (%+.2f%%)\n", first, last, change
  exit !(change <= 5 && change >= -5)
}'
