#!/usr/bin/env bash
# check-layers-test.sh ROOT: the layering check passes on the tree at ROOT and
# fails, naming each planted line, on a copy with an upward include, a
# platform library header in the renderer, an include of a platform backend
# and an engine include in the simulator.
set -euo pipefail
root=$1
check="$root/scripts/check-layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$check" "$root" || { echo "the check fails on the tree itself"; exit 1; }

cp -r "$root/src" "$work/src"
plant() {
    echo "$2" >>"$work/src/$1"
    echo "src/$1:$(wc -l <"$work/src/$1"):"
}
expected=(
    "$(plant Core/PTask.cpp '#include "Game/PGameObject.h"')"
    "$(plant Render/PRender.cpp '#include <SDL.h>')"
    "$(plant Render/PSprite.cpp '#include "Platform/Sdl/SdlWindow.h"')"
    "$(plant Physics/Simulator/RbBody.cpp '#include "Core/Log.h"')"
)
if output=$("$check" "$work"); then
    echo "the check passed a tree with planted includes"
    exit 1
fi
for line in "${expected[@]}"; do
    grep -qF "$line" <<<"$output" || { echo "not reported: $line"; echo "$output"; exit 1; }
done
echo "$output"
