#!/usr/bin/env bash
# The browser benchmark: builds the site, the benchmark's page and the
# desktop's render benchmark (scripts/web.sh --build-only, in build-web/),
# then prints the speed table of docs/performance.md (run.mjs), Chromium's
# and Firefox's rows per scene, then the seek latency (seeks.mjs). Needs both
# browsers (scripts/web.sh --test installs them); runs on a private X
# display, which Firefox needs for WebGL2 and the desktop benchmark draws on.
# A few minutes.
set -euo pipefail
cd "$(dirname "$0")/../.."
for browser in chromium firefox-esr; do
    command -v $browser >/dev/null || {
        echo "web/bench/run.sh: needs $browser: scripts/install-deps.sh --browser installs it" >&2
        exit 1
    }
done
scripts/web.sh --build-only >/dev/null
cmake --build build-web/native -j2 --target demo-bench-render >/dev/null
scripts/with-display-and-sound.sh node web/bench/run.mjs
exec scripts/with-display-and-sound.sh node web/bench/seeks.mjs
