#!/usr/bin/env bash
# Builds and runs the show's benchmark (demo_bench.cpp) in a release build.
#   bench/run.sh [build directory, default build] [demo-bench options]
# Uses $DISPLAY, or starts its own Xvfb when none is set; SDL plays through
# its silent dummy driver.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target demo-bench >/dev/null

if [[ -z "${DISPLAY:-}" ]]; then
    numberfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null || true; rm -f "$numberfile"' EXIT
    for _ in $(seq 100); do [[ -s "$numberfile" ]] && break; sleep 0.1; done
    [[ -s "$numberfile" ]] || { echo "bench: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$numberfile")"
fi
export SDL_AUDIODRIVER=dummy
"$build/bench/demo-bench" "$@"
