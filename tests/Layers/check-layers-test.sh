#!/usr/bin/env bash
# check-layers-test.sh ROOT: the layering check passes on the tree at ROOT and
# fails, naming each planted line and what to include instead, on a copy
# with upward includes, a platform library header in the renderer, includes
# of platform backends from the engine and from the folders of the platform
# the engine sees, an engine include in the simulator, and includes of
# libraries a subsystem does not name in its DEPENDS (though they sit below
# it).
set -euo pipefail
root=$1
check="$root/scripts/check-layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$check" "$root" || { echo "the check fails on the tree itself"; exit 1; }

cp -r "$root/src" "$work/src"
plant() {
    echo "$2" >>"$work/src/$1"
    echo "src/$1:$(wc -l <"$work/src/$1"): \"${2#*\"}"
}
backend="include the header the engine sees"
layer="include its own headers or those of"
expected=(
    "$(plant Core/PTask.cpp '#include "Game/PGameObject.h"')|$layer Platform, Platform/Graphics"
    "$(plant Sound/NSound.cpp '#include "Render/PRender.h"')|$layer"
    "src/Render/PRender.cpp:$(plant Render/PRender.cpp '#include <SDL.h>' | cut -d: -f2): platform library header <SDL.h>|include the Platform header that wraps it"
    "$(plant Render/PSprite.cpp '#include "Platform/Sdl/SdlWindow.h"')|$backend"
    "$(plant Physics/Simulator/RbBody.cpp '#include "Core/Log.h"')|include only its own headers"
    "$(plant Platform/FileSystem.cpp '#include "Platform/Sdl/SdlWindow.h"')|$backend"
    "$(plant Platform/Sound/SoundBackend.h '#include "Platform/OpenAL/AlDevice.h"')|$backend"
    "$(plant Game/CarInfo.h '#include "DynamicSky/CloudFile.h"')|$layer"
    "$(plant Interface/InterfacePages.cpp '#include "DynamicSky/CloudFile.h"')|$layer"
    "$(plant Physics/PPhysicData.cpp '#include "Render/PRender.h"')|$layer"
)
if output=$("$check" "$work"); then
    echo "the check passed a tree with planted includes"
    exit 1
fi
echo "$output"
for entry in "${expected[@]}"; do
    line=${entry%|*} advice=${entry##*|}
    grep -F "$line" <<<"$output" | grep -qF "$advice" || { echo "not refused as expected: $line ($advice)"; exit 1; }
done
test "$(grep -c '^src/' <<<"$output")" -eq ${#expected[@]} || { echo "more refused than planted"; exit 1; }
