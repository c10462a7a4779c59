#!/usr/bin/env bash
# Makes the reference pictures of the capture regression test again: two
# frames of each scene of the short test module at 10 frames per second,
# captured by the built program with the built font.
#   tests/capture/make-references.sh [build folder]    (default: build)
# Look at the new pictures before committing them: the test trusts them.
# Without an X display it starts its own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
references=tests/capture/references

# The test captures at this rate; frames 2 and 7 of each 10-frame scene.
fps=10
frames=2,7,12,17,22,27,32,37,42,47,52,57

run=(scripts/with-display.sh)
cmake --build "$build" --target demo-capture >/dev/null
mkdir -p "$references"
rm -f "$references"/frame-*.png
"${run[@]}" "$build/demo-capture" --quiet --fps "$fps" --only "$frames" -o "$references" \
    --module "$build/testdata/demosong.it" --font "$build/fontpre.tga"
ls "$references"
