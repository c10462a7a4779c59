#!/usr/bin/env bash
# Makes the README's pictures again: one frame of each scene of the full song,
# captured by demo-capture at 60 frames per second, and the greetings frame
# as a 1920x1080 screen shows it full screen (pillarboxed), into docs/.
#   scripts/make-pictures.sh [build folder]    (default: build)
# A first pass finds the frame at which each scene starts (the capture's
# timeline); the second captures each scene a few seconds in: past the
# fade-in of scenes 1 and 3, with scene 6's ripples grown; the third the
# full-screen picture. The capture fast-forwards through the frames it does
# not write, so the whole takes some 15 seconds. The pictures are named
# after the show's scene list (build/scene-names). Without an X display it
# starts its own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"

# Seconds after the start of each scene.
offsets=(8 11 5 8 8 8)
fps=60

run=(scripts/with-display.sh)
capture=("${run[@]}" "$build/demo-capture" --quiet --fps "$fps"
         --module "$build/demosong.it" --font "$build/fontpre.tga")
cmake --build "$build" --target demo-capture scene-names >/dev/null
mapfile -t names < <("$build/scene-names" | awk '{ print "scene" $1 "-" $2 }')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first frame of each scene: where the timeline's scene column changes.
"${capture[@]}" --timeline "$work/timeline.txt"
mapfile -t starts < <(awk '!/^#/ && $5 != scene { print $1; scene = $5 }' "$work/timeline.txt")
if (( ${#starts[@]} != ${#names[@]} )); then
    echo "make-pictures: the timeline shows ${#starts[@]} scenes, not ${#names[@]}" >&2
    exit 1
fi

frames=()
for i in "${!names[@]}"; do frames+=($(( starts[i] + offsets[i] * fps ))); done
"${capture[@]}" --only "$(IFS=,; echo "${frames[*]}")" -o "$work/frames"

mkdir -p docs
for i in "${!names[@]}"; do
    cp "$(printf '%s/frames/frame-%06d.png' "$work" "${frames[i]}")" "docs/${names[i]}.png"
    echo "docs/${names[i]}.png  (frame ${frames[i]}, $(( offsets[i] )) s into scene $(( i + 1 )))"
done

# The greetings frame again, scaled as on a 1920x1080 screen that cannot switch.
"${capture[@]}" --size 1920x1080 --only "${frames[4]}" -o "$work/screen"
cp "$(printf '%s/screen/frame-%06d.png' "$work" "${frames[4]}")" docs/fullscreen-1920x1080.png
echo "docs/fullscreen-1920x1080.png  (frame ${frames[4]} at 1920x1080)"

# Scene 1 eight seconds in, where it flashes most, as it is (left) and with
# --reduce-flashing (right), each at 320x240. The filter runs on from a
# second before, as it would have in the show.
reduced=$(( starts[0] + 8 * fps ))
"${capture[@]}" --size 320x240 --only "$reduced" -o "$work/plain"
"${capture[@]}" --size 320x240 --reduce-flashing --frames "$(( reduced - fps ))-$reduced" -o "$work/reduced"
convert "$(printf '%s/plain/frame-%06d.png' "$work" "$reduced")" \
    "$(printf '%s/reduced/frame-%06d.png' "$work" "$reduced")" +append -strip docs/reduced-flashing.png
echo "docs/reduced-flashing.png  (frame $reduced, as it is and with --reduce-flashing)"
