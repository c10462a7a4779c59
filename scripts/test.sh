#!/usr/bin/env bash
# Installs what is missing, builds the show and its tests, and runs every test.
#   scripts/test.sh              the normal build, in build/
#   scripts/test.sh --sanitize   built with AddressSanitizer and UBSan, in build-sanitize/
# Without an X display it starts its own Xvfb; the tests play their music
# through SDL's silent dummy audio driver.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
options=(-DCMAKE_BUILD_TYPE=Release)
if [[ "${1:-}" == "--sanitize" ]]; then
    build=build-sanitize
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_SANITIZE=ON)
fi

scripts/install-deps.sh --test
cmake -S . -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

if [[ -z "${DISPLAY:-}" ]]; then
    numberfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null || true; rm -f "$numberfile"' EXIT
    for _ in $(seq 100); do [[ -s "$numberfile" ]] && break; sleep 0.1; done
    [[ -s "$numberfile" ]] || { echo "test: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$numberfile")"
fi
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

cd "$build"
ctest --output-on-failure -j"$(nproc)"
