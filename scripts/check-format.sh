#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what clang-format makes of it.
# With --fix, reformats them instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.h' '*.cpp' | while read -r f; do [[ -f "$f" ]] && echo "$f"; done)
((${#files[@]} == 0)) && exit 0
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run --Werror "${files[@]}"
fi
