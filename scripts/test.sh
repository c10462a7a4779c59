#!/usr/bin/env bash
# Installs what is missing, builds the show and its tests, and runs every test.
#   scripts/test.sh              the normal build, in build/
#   scripts/test.sh --sanitize   built with AddressSanitizer and UBSan, in build-sanitize/
# Without an X display it starts its own Xvfb; the tests play their music
# through SDL's silent dummy audio driver.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DDEMO_WERROR=ON)
if [[ "${1:-}" == "--sanitize" ]]; then
    build=build-sanitize
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DDEMO_WERROR=ON -DDEMO_SANITIZE=ON)
fi

scripts/install-deps.sh --test
cmake -S . -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

cd "$build"
../scripts/with-display.sh ctest --output-on-failure -j"$(nproc)"
