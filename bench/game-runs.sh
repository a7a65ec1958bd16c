# Shared by the bench scripts that run the real executable: a game folder
# per build, runs with the frame probe preloaded, medians. Sourced, not run.

# The probe comes from the build under test and serves both builds.
probe_library() {
  local probe=$1/bench/libFrameProbe.so
  [[ -f $probe ]] || { echo "no $probe: build with -DKV_BENCH=ON" >&2; exit 1; }
  echo "$probe"
}

# make_game_folder BUILD FOLDER CONFIG-LINES: the build's data and bindings
# with the given config.cfg.
make_game_folder() {
  mkdir -p "$2"
  cp -r "$1/Data" "$1/Actions.cfg" "$2/"
  printf '%b' "$3" > "$2/config.cfg"
}

# probe_run FOLDER EXECUTABLE ARGS...: runs the game in FOLDER; its frames'
# times go to FOLDER/frames.txt and the start time (ns) to FOLDER/start.txt.
probe_run() {
  local folder=$1 exe=$2
  shift 2
  rm -f "$folder/frames.txt"
  (
    cd "$folder"
    date +%s%N > start.txt
    KV_FRAME_PROBE=$folder/frames.txt LD_PRELOAD=$PROBE exec "$exe" "$@" > /dev/null 2>&1
  ) || { echo "the game in $folder failed (see $folder/log.txt)" >&2; exit 1; }
}

# The nanoseconds of frame line N (from 1) of the last run in FOLDER.
frame_time() {
  sed -n "$2p" "$1/frames.txt"
}

frame_count() {
  wc -l < "$1/frames.txt"
}

median() {
  sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

# Runs the calling script again inside a virtual display unless it is in one.
ensure_virtual_display() {
  if [[ "${KV_IN_XVFB:-}" != 1 ]]; then
    exec env KV_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$@"
  fi
}
