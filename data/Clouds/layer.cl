// The demo cloud group: high above the track, with no clouds of its own yet.
offset 0 0 200
kept 0
kept 0
kept 0 0 0
kept 0
models 0
