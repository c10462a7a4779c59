#!/usr/bin/env bash
# The show in a web browser: installs what is missing, builds the site and
# serves it.
#   scripts/web.sh               builds, then serves http://127.0.0.1:8000/ until Ctrl+C
#   scripts/web.sh --build-only  builds only
#   scripts/web.sh --test        builds with the tests and runs them (node's test
#                                runner; headless Chromium; an X display for the
#                                desktop capture, a private Xvfb without one)
# Everything lands in build-web/: native/ (a desktop build that makes the two
# data files and, for the tests, the call recorder's call-stream and
# demo-capture), wasm/ (the Emscripten build) and site/ (what is served).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=serve
case "${1:-}" in
    "") ;;
    --build-only) mode=build ;;
    --test) mode=test ;;
    *)
        echo "usage: scripts/web.sh [--build-only | --test]" >&2
        exit 2
        ;;
esac
testing=OFF
[[ $mode == test ]] && testing=ON

# Debian's packages: the desktop build's, Emscripten, npm where node came
# without it, and for the tests theirs and Chromium.
if [[ $mode == test ]]; then
    scripts/install-deps.sh --web --test --browser
else
    scripts/install-deps.sh --web
fi

# npm's packages, as pinned in web/package-lock.json.
if [[ ! web/node_modules/.package-lock.json -nt web/package-lock.json ]]; then
    (cd web && npm ci --no-audit --no-fund --loglevel=error)
fi

# The data files (and the tests' native programs), then the site.
native=(demo_assets)
[[ $mode == test ]] && native+=(demo-capture call-stream)
cmake -S . -B build-web/native -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$testing -DDEMO_WERROR=ON >/dev/null
cmake --build build-web/native -j2 --target "${native[@]}" >/dev/null
# (emcmake says which cmake it runs on standard error)
emcmake cmake -S web -B build-web/wasm -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$testing \
    -DDEMO_WERROR=ON -DDEMO_ASSETS_DIR="$PWD/build-web/native" -DDEMO_SITE_DIR="$PWD/build-web/site" \
    2> >(grep -v '^configure: ' >&2) >/dev/null
cmake --build build-web/wasm -j2 >/dev/null

case $mode in
    build) echo "web: the site is in build-web/site" ;;
    test) node --test tests/web/*.test.mjs ;;
    serve)
        echo "web: the show is at http://127.0.0.1:8000/ (Ctrl+C stops the server)"
        python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web/site >/dev/null 2>&1 || {
            echo "web: cannot serve on 127.0.0.1:8000 (is the port in use?)" >&2
            exit 1
        }
        ;;
esac
