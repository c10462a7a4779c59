#!/usr/bin/env bash
# Installs what is missing, builds the show and plays it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The show alone: the tests need packages a viewer does not.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" --target demo
cd build
exec ./demo
