# Sourced by the game runs: enter_game_folder GAME BINDINGS makes a
# temporary game folder with the bindings as Actions.cfg and a copy of the
# built Data tree beside GAME, enters it and removes it when the run ends.
enter_game_folder() {
  folder=$(mktemp -d)
  trap 'rm -rf "$folder"' EXIT
  cp "$2" "$folder/Actions.cfg"
  cp -r "$(dirname "$1")/Data" "$folder/Data"
  cd "$folder"
}
