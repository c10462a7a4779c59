#!/usr/bin/env bash
# The browser benchmark: builds the site, the benchmark's page and the
# desktop's render benchmark (scripts/web.sh --build-only, in build-web/),
# then prints the README's speed table (run.mjs). Needs Chromium
# (scripts/web.sh --test installs it); starts its own Xvfb for the desktop
# benchmark when no X display is set. A few minutes.
set -euo pipefail
cd "$(dirname "$0")/../.."
command -v chromium >/dev/null || {
    echo "web/bench/run.sh: needs Chromium: apt-get install chromium" >&2
    exit 1
}
scripts/web.sh --build-only >/dev/null
cmake --build build-web/native -j2 --target demo-bench-render >/dev/null
exec node web/bench/run.mjs
