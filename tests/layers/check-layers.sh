#!/usr/bin/env bash
# The layers of src/, lowest first: math, geometry, gl, audio, demo, app, then the front ends
# (app/<folder>: linux, headless, win32, web, dev). A file includes only from its own layer or
# below, and the portable part of a layer (outside its linux/, win32/, web/ folders) includes no
# platform folder. Prints each include that breaks a rule; exit 1 if any does.
#   check-layers.sh [SRC]     (default: src/ of the tree this script is in)
set -euo pipefail
src=${1:-$(dirname "$0")/../../src}
cd "$src"
layers=(math geometry gl audio demo app)
rank() {  # rank PATH: the layer a file or include path belongs to, as a number
    local path=$1 i
    [[ $path == app/*/* ]] && { echo 6; return; }
    for i in "${!layers[@]}"; do
        [[ $path == "${layers[$i]}"/* ]] && { echo "$i"; return; }
    done
    echo -1  # a system or third-party header
}
platform() { [[ /$1 == */linux/* || /$1 == */win32/* || /$1 == */web/* ]]; }
broken=0
while IFS= read -r file; do
    own=$(rank "$file")
    while IFS= read -r included; do
        [[ -z $included ]] && continue
        theirs=$(rank "$included")
        if ((theirs > own)); then
            echo "$file includes $included, a layer above it"
            broken=1
        elif ((own < 6)) && ! platform "$file" && platform "$included"; then
            echo "$file includes $included, platform code"
            broken=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find math geometry gl audio demo app -name '*.cpp' -o -name '*.h' -o -name '*.inc' | sort)
exit $broken
