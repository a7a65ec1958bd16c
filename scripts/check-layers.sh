#!/usr/bin/env bash
# check-layers.sh [ROOT]: fails when a source under ROOT/src (default: this
# checkout) includes a header of a library its own does not depend on, when
# engine code includes a platform backend's header outside the backends and
# their choosers, or when engine code outside src/Platform includes a
# platform library's header (SDL, OpenGL, epoxy, GTK, GLib, WebKit, OpenAL,
# libsndfile, X11, FFmpeg, libjpeg, libpng, FreeType); the data tools under
# tools/ may use such libraries to write files. Every violation is printed
# as "file:line: reason and what to include instead".
#
# The layers come from the build alone: each library is declared in its
# folder's CMakeLists.txt by kv_add_subsystem, whose DEPENDS names the
# libraries it uses, and a library may include the folders of every library
# it reaches through DEPENDS (the transitive closure). A folder of its own
# joins a library with add_library(FOLDER ALIAS LIBRARY).
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# Inside Platform, the folders the engine sees and the backends behind them,
# which only the backends and the one file per seam that chooses among them
# may include.
platform_facing="Platform Platform/Graphics Platform/Input Platform/Sound Platform/Video"
backends="Platform/Sdl Platform/OpenGL Platform/OpenAL Platform/FFmpeg Platform/Gtk Platform/Recording Platform/Scripted"
choosers="src/Platform/GraphicsBackends.cpp src/Platform/Input/InputBackend.cpp"
platform_headers='^(SDL|SDL2/|epoxy/|GL/|GLES|gtk/|gdk/|glib|gio/|webkit2/|JavaScriptCore/|AL/|sndfile|X11/|libavformat/|libavcodec/|libswscale/|libswresample/|libavutil/|jpeglib\.h|png\.h|ft2build\.h|freetype/)'

declare -A library_of_folder # folder under src -> its library
declare -A depends           # library -> the engine libraries its DEPENDS names
declare -A folders_of        # library -> its folders
declare -A allowed           # folder -> the folders its sources may include

add_folder() {
    library_of_folder[$1]=$2
    folders_of[$2]="${folders_of[$2]:-} $1"
}

# One kv_add_subsystem(NAME [FOLDERS dir...] [DEPENDS lib...]) of a folder.
read_subsystem() {
    local folder=$1 name=$2 word part=""
    shift 2
    add_folder "$folder" "$name"
    depends[$name]=""
    for word in "$@"; do
        case $word in
        FOLDERS | DEPENDS) part=$word ;;
        *)
            if [[ $part == FOLDERS ]]; then
                add_folder "$folder/$word" "$name"
            elif [[ $part == DEPENDS ]]; then
                depends[$name]+=" $word"
            fi
            ;;
        esac
    done
}

read_build() {
    local file folder text
    while IFS= read -r file; do
        folder=${file#src/}
        folder=${folder%/CMakeLists.txt}
        # Without comments, one line: a call may span several.
        text=$(sed 's/#.*//' "$file" | tr '\n' ' ')
        if [[ $text =~ kv_add_subsystem\(([^\)]*)\) ]]; then
            # shellcheck disable=SC2086 # the words of the call
            read_subsystem "$folder" ${BASH_REMATCH[1]}
        elif [[ $text =~ add_library\([[:space:]]*[A-Za-z]+[[:space:]]+ALIAS[[:space:]]+([A-Za-z]+)[[:space:]]*\) ]]; then
            add_folder "$folder" "${BASH_REMATCH[1]}"
        fi
    done < <(find src -mindepth 2 -name CMakeLists.txt | sort)
    # The GTK dialogs are a module of their own, still a backend of Platform.
    for folder in $backends; do
        [[ -n ${library_of_folder[$folder]:-} ]] || add_folder "$folder" Platform
    done
}

# Sets `reached` to the libraries `library` reaches through DEPENDS, itself
# included; names that are no engine library (system packages) are skipped.
reach() {
    local pending=("$1") library next
    reached=" "
    while ((${#pending[@]} > 0)); do
        library=${pending[-1]}
        unset 'pending[-1]'
        [[ -n ${folders_of[$library]:-} && $reached != *" $library "* ]] || continue
        reached+="$library "
        for next in ${depends[$library]}; do
            pending+=("$next")
        done
    done
}

build_table() {
    local folder library backend
    for folder in "${!library_of_folder[@]}"; do
        reach "${library_of_folder[$folder]}"
        allowed[$folder]=""
        for library in $reached; do
            allowed[$folder]+="${folders_of[$library]} "
        done
        # Backends only for backends; a chooser is let through by file.
        if [[ " $backends " != *" $folder "* ]]; then
            for backend in $backends; do
                allowed[$folder]=${allowed[$folder]//" $backend "/ }
            done
        fi
    done
    for folder in $platform_facing; do
        [[ -n ${library_of_folder[$folder]:-} ]] || {
            echo "check-layers.sh: no folder $folder in the build's Platform library" >&2
            exit 2
        }
    done
}

# Sets `folder` to the folder key a path under src falls in (longest match),
# or to nothing.
folder_of() {
    local key
    folder=""
    for key in "${!library_of_folder[@]}"; do
        if [[ $1 == "$key"/* && ${#key} -gt ${#folder} ]]; then
            folder=$key
        fi
    done
}

failures=0
report() {
    echo "$1: $2"
    failures=$((failures + 1))
}

# What a refused include of `target` (in folder `theirs`) from folder `own`
# should be instead.
advice() {
    local own=$1 theirs=$2 may
    if [[ " $backends " == *" $theirs "* ]]; then
        echo "the backends are private to Platform: include the header the engine sees (in ${platform_facing// /, }) instead; only the backends and the choosers (${choosers// /, }) include a backend"
        return
    fi
    may=$(tr ' ' '\n' <<<"${allowed[$own]}" | grep -v "^$own$" | grep . | sort -u | paste -sd, | sed 's/,/, /g')
    echo -n "${library_of_folder[$own]} does not depend on ${library_of_folder[$theirs]} (DEPENDS in its CMakeLists.txt): "
    if [[ -n $may ]]; then
        echo "include its own headers or those of $may instead"
    else
        echo "include only its own headers"
    fi
}

# One include line of a file (path relative to the root).
check_include() {
    local relative=$1 number=$2 line=$3 own target
    folder_of "${relative#src/}"
    own=$folder
    if [[ $line =~ \<([^\>]+)\> ]]; then
        target=${BASH_REMATCH[1]}
        if [[ $target =~ $platform_headers && $relative != src/Platform/* && $relative != tools/* ]]; then
            report "$relative:$number" "platform library header <$target> outside src/Platform: include the Platform header that wraps it instead"
        fi
    elif [[ $line =~ \"([^\"]+)\" && $relative == src/* && -n $own ]]; then
        target=${BASH_REMATCH[1]}
        folder_of "$target"
        if [[ -z $folder || $folder == "$own" || " ${allowed[$own]} " == *" $folder "* ]]; then
            return
        fi
        if [[ " $choosers " == *" $relative "* && ${library_of_folder[$folder]} == Platform ]]; then
            return
        fi
        report "$relative:$number" "\"$target\" of $folder: $(advice "$own" "$folder")"
    fi
}

read_build
build_table
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
