#!/usr/bin/env bash
# Runs the game headless on hostile game folders and files, each a fresh
# copy of the built Data tree with the default key bindings, and checks that
# it neither crashes, hangs nor loses the player's files:
#   scripts   a main script that allocates without end, and one that never
#             yields: each ends with a logged script error, the game goes on
#             rendering to its last frame and exits 0; a main script whose
#             model is still on the bonus list when the game ends exits 0
#   start-up  no Actions.cfg: a message naming it, exit status not 0; a pipe
#             named config.cfg does not block start-up; an impossible screen
#             size is logged, refused and repaired by the save
#   signals   SIGHUP and SIGTERM end the game through its shut-down, which
#             saves config.cfg; SIGTERM to a game whose main script is stuck
#             in a pattern search ends it a few seconds later, saying so,
#             with a status other than 0
#   data      a flame of a misspelt parent in the torch's and the brazier's
#             descriptions is dropped with a log line, and the level runs
#             and ends cleanly
set -euo pipefail
game=$1 bindings=$2 what=$3
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

fresh() {
  rm -rf "$folder/run"
  mkdir "$folder/run"
  cp "$bindings" "$folder/run/Actions.cfg"
  cp -r "$(dirname "$game")/Data" "$folder/run/Data"
  cd "$folder/run"
}

run() {
  SDL_VIDEODRIVER=offscreen timeout 120 "$game" --windowed "$@"
}

fail() {
  echo "FAILED: $*" >&2
  cat log.txt >&2 || true
  exit 1
}

case $what in
scripts)
  for body in "local t = {} while true do t[#t + 1] = {1, 2, 3, 4, 5, 6, 7, 8} end" \
              "while true do end"; do
    fresh
    echo "$body" > Data/Scripts/main.lua
    run --frames 30 || fail "exit status $? with: $body"
    grep -q "Script Error!" log.txt || fail "no script error for: $body"
    grep -q "Kernel ended after 30 frames" log.txt || fail "the game did not go on: $body"
  done
  fresh
  echo "AddBonus(LoadRenderObject('crate.rdf', 20), 0) while true do Update() end" > Data/Scripts/main.lua
  run --frames 30 || fail "exit status $? with a listed bonus the script loaded"
  ;;
start-up)
  fresh
  rm Actions.cfg
  if run --frames 5 2> stderr.txt; then fail "exit status 0 without Actions.cfg"; fi
  grep -q "Actions.cfg" stderr.txt || fail "no message naming Actions.cfg"
  grep -q "could not start" log.txt || fail "no start-up failure in the log"

  fresh
  mkfifo config.cfg
  run --frames 5 || fail "a pipe named config.cfg"
  grep -q "Kernel ended after 5 frames" log.txt || fail "no run with a pipe named config.cfg"

  fresh
  printf 'screenWidth = -5\r\nscreenHeight = NaN\r\n' > config.cfg
  run --frames 5 || fail "a bad screen size"
  grep -q "screenWidth = -5" log.txt || fail "the bad width is not logged"
  grep -q "screenWidth = 640" config.cfg || fail "the width is not repaired"
  grep -q "screenHeight = 480" config.cfg || fail "the height is not repaired"
  ;;
signals)
  for signal in HUP TERM; do
    fresh
    SDL_VIDEODRIVER=offscreen "$game" --windowed --frames 100000 &
    pid=$!
    # Signalled once the window and the renderer are up (the signal
    # handlers are installed with the window) and the game has run a while;
    # a loaded machine can take seconds to get there.
    for _ in $(seq 600); do
      grep -q "Инициализация рендеринга" log.txt 2>/dev/null && break
      sleep 0.1
    done
    sleep 1
    kill -s "$signal" "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" = 0 ] || fail "exit status $status after SIG$signal"
    grep -q "Kernel ended" log.txt || fail "no shut-down after SIG$signal"
    test -s config.cfg || fail "config.cfg not saved after SIG$signal"
  done

  fresh
  echo "string.find(string.rep('a', 60), string.rep('a*', 60) .. 'b')" > Data/Scripts/main.lua
  SDL_VIDEODRIVER=offscreen timeout 120 "$game" --windowed 2> stderr.txt &
  pid=$!
  for _ in $(seq 600); do
    grep -q "Инициализация рендеринга" log.txt 2>/dev/null && break
    sleep 0.1
  done
  # Signalled again each second, in case the first came before the main
  # loop started to watch.
  for _ in $(seq 60); do
    kill -s TERM "$pid" 2>/dev/null || break
    sleep 1
  done
  status=0
  wait "$pid" || status=$?
  [ "$status" != 0 ] || fail "exit status 0 with a script stuck after SIGTERM"
  [ "$status" != 124 ] || fail "the stuck game was not ended after SIGTERM"
  message="the game is stuck in a script; ending without saving"
  grep -q "$message" stderr.txt || fail "no message on stderr for a stuck script"
  grep -q "$message" log.txt || fail "no message in log.txt for a stuck script"
  ;;
data)
  fresh
  for model in torch brazier; do
    sed -i 's/^psystem=flame,torch,/psystem=flame,torchX,/' "Data/Meshes/$model.rdf"
    grep -q "flame,torchX," "Data/Meshes/$model.rdf" || fail "no flame line to misspell in $model.rdf"
  done
  run --level level1 --frames 30 || fail "exit status $? with a flame of a misspelt parent"
  grep -q "No parent for flame: dropped" log.txt || fail "the flame without a parent is not logged"
  grep -q "Kernel ended after 30 frames" log.txt || fail "the level did not run"
  ;;
esac
