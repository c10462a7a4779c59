#!/usr/bin/env bash
# Builds and runs the show's benchmark (demo_bench.cpp) in a release build,
# then the capture's (capture_bench.sh).
#   bench/run.sh [build directory, default build] [demo-bench options]
# Uses $DISPLAY, or starts its own Xvfb when none is set; SDL plays through
# its silent dummy driver.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target demo-bench >/dev/null

export SDL_AUDIODRIVER=dummy
scripts/with-display.sh "$build/bench/demo-bench" "$@"
echo
scripts/with-display.sh bench/capture_bench.sh "$build"
