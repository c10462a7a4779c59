#!/usr/bin/env bash
# Checks that the source folders stand in layers: a folder's files include
# headers of its own folder and of lower layers only, never of a higher one,
# and two folders of one layer never include each other. The layers, lowest
# first, as docs/architecture.md lists them; assets/, bench/, tools/ and
# tests/ stand beside them and may include any, but no layer includes them.
#   scripts/check-layers.sh      status 1, with a line per stray include, if any
set -euo pipefail
cd "$(dirname "$0")/.."

layers=("music" "geometry" "font" "scenes" "show" "picture process" "desktop capture web")
declare -A rank
for i in "${!layers[@]}"; do
    for folder in ${layers[i]}; do rank[$folder]=$i; done
done

strays=0
for folder in "${!rank[@]}"; do
    # Every '#include "folder/..."' in the folder's own C++ files.
    while IFS=: read -r file line included; do
        target=${included#*\"}
        target=${target%%/*}
        if [[ -z ${rank[$target]+set} ]] ||
            (( rank[$target] > rank[$folder] )) ||
            [[ ${rank[$target]} == "${rank[$folder]}" && $target != "$folder" ]]; then
            echo "check-layers: $file:$line includes $target/, which $folder/ may not" >&2
            strays=$((strays + 1))
        fi
    done < <(git grep -nE '^#include "[a-z_]+/' -- "$folder/*.cpp" "$folder/*.h" \
                 "$folder/**/*.cpp" "$folder/**/*.h" || true)
done
if (( strays > 0 )); then
    echo "check-layers: $strays includes point up or sideways (see docs/architecture.md)" >&2
    exit 1
fi
echo "check-layers: every include points down or within its folder"
