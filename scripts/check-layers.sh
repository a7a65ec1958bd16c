#!/usr/bin/env bash
# check-layers.sh [ROOT]: fails when a source under ROOT/src (default: this
# checkout) includes a header of a library above its own, or when engine code
# outside src/Platform includes a platform library's header (SDL, OpenGL,
# epoxy, GTK, GLib, WebKit, OpenAL, libsndfile, X11, FFmpeg, libjpeg, libpng,
# FreeType); the data tools under
# tools/ may use such libraries to write files. Every violation is
# printed as "file:line: reason".
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# Each library folder of src and the folders it may include besides its own,
# lowest layer first. Platform/Graphics belongs to Platform; the backend
# folders are private to Platform.
backends="Platform/Sdl Platform/OpenGL Platform/OpenAL Platform/FFmpeg Platform/Gtk Platform/Recording Platform/Scripted"
below_game="Platform Core Script Physics/Simulator Sound Input Render Physics Particles DynamicSky"
declare -A allowed=(
    [Platform]="$backends"
    [Platform/Sdl]="Platform $backends"
    [Platform/OpenGL]="Platform $backends"
    [Platform/Gtk]="Platform $backends"
    [Platform/Recording]="Platform $backends"
    [Platform/Scripted]="Platform $backends"
    [Core]="Platform"
    [Script]="Platform Core"
    [Physics/Simulator]=""
    [Sound]="Platform Core Script"
    [Input]="Platform Core Script"
    [Render]="Platform Core Script Sound"
    [Physics]="Platform Core Script Physics/Simulator Sound"
    [Particles]="Platform Core Script Render"
    [DynamicSky]="Platform Core Script Render"
    [Game]="$below_game Vehicles"
    [Vehicles]="$below_game Game"
    [Interface]="$below_game Game Vehicles"
    [Script/Functions]="$below_game Game Vehicles Interface"
    [Application]="$below_game Game Vehicles Interface Script/Functions"
)
platform_headers='^(SDL|SDL2/|epoxy/|GL/|GLES|gtk/|gdk/|glib|gio/|webkit2/|JavaScriptCore/|AL/|sndfile|X11/|libavformat/|libavcodec/|libswscale/|libswresample/|libavutil/|jpeglib\.h|png\.h|ft2build\.h|freetype/)'

# Sets `library` to the library folder a path under src names (longest
# match), or to nothing.
library_of() {
    local key
    library=""
    for key in "${!allowed[@]}"; do
        if [[ $1 == "$key"/* && ${#key} -gt ${#library} ]]; then
            library=$key
        fi
    done
}

failures=0
report() {
    echo "$1: $2"
    failures=$((failures + 1))
}

# One include line of a file (path relative to the root).
check_include() {
    local relative=$1 number=$2 line=$3 own target
    library_of "${relative#src/}"
    own=$library
    if [[ $line =~ \<([^\>]+)\> ]]; then
        target=${BASH_REMATCH[1]}
        if [[ $target =~ $platform_headers && $relative != src/Platform/* && $relative != tools/* ]]; then
            report "$relative:$number" "platform library header <$target> outside src/Platform"
        fi
    elif [[ $line =~ \"([^\"]+)\" && $relative == src/* && -n $own ]]; then
        target=${BASH_REMATCH[1]}
        library_of "$target"
        if [[ -n $library && $library != "$own" && " ${allowed[$own]} " != *" $library "* ]]; then
            report "$relative:$number" "$own includes \"$target\" of $library, which it may not depend on"
        fi
    fi
}

cd "$root"
folders=()
for folder in src bench tools fuzz; do
    [[ -d $folder ]] && folders+=("$folder")
done
while IFS=: read -r file number line; do
    check_include "$file" "$number" "$line"
done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include' "${folders[@]}")

if ((failures > 0)); then
    echo "$failures include(s) break the layering"
    exit 1
fi
