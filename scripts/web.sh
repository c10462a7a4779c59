#!/usr/bin/env bash
# The show in a web browser: installs what is missing, builds the site and
# serves it.
#   scripts/web.sh [--port N]    builds, then serves http://127.0.0.1:N/ (8000
#                                unless given) until Ctrl+C
#   scripts/web.sh --build-only  builds only
#   scripts/web.sh --test        builds with the tests and runs them (node's test
#                                runner; headless Chromium and Firefox, the
#                                latter on a private X display and sound server)
# Everything lands in build-web/: native/ (a desktop build that makes the two
# data files and, for the tests, the call recorder's call-stream and
# demo-capture), wasm/ (the Emscripten build) and site/ (what is served).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "usage: scripts/web.sh [--port N | --build-only | --test]" >&2
    exit 2
}
mode=serve
port=8000
case "${1:-}" in
    "") ;;
    --port)
        [[ $# -eq 2 && $2 =~ ^[0-9]{1,5}$ ]] && ((10#$2 >= 1 && 10#$2 <= 65535)) || usage
        port=$((10#$2))
        shift
        ;;
    --build-only) mode=build ;;
    --test) mode=test ;;
    *) usage ;;
esac
[[ $# -le 1 ]] || usage
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

# The data files, the capture for the page's poster (and the tests' native
# programs), then the site.
native=(demo_assets web_data demo-capture)
[[ $mode == test ]] && native+=(call-stream)
cmake -S . -B build-web/native -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$testing -DDEMO_WERROR=ON >/dev/null
cmake --build build-web/native -j2 --target "${native[@]}" >/dev/null
# The poster for link previews and lock screens: the capture's frame of the
# greetings scene at 1200x630, made again when the capture is newer.
poster=build-web/native/poster.png
if [[ ! $poster -nt build-web/native/demo-capture ]]; then
    frames=$(mktemp -d)
    trap 'rm -rf "$frames"' EXIT
    scripts/with-display.sh build-web/native/demo-capture --quiet --size 1200x630 --only 4000 \
        --module build-web/native/demosong.it --font build-web/native/fontpre.tga -o "$frames"
    mv "$frames/frame-004000.png" "$poster"
    rm -rf "$frames"
    trap - EXIT
fi
# (emcmake says which cmake it runs on standard error)
emcmake cmake -S web -B build-web/wasm -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$testing \
    -DDEMO_WERROR=ON -DDEMO_ASSETS_DIR="$PWD/build-web/native" -DDEMO_SITE_DIR="$PWD/build-web/site" \
    2> >(grep -v '^configure: ' >&2) >/dev/null
cmake --build build-web/wasm -j2 >/dev/null

case $mode in
    build) echo "web: the site is in build-web/site" ;;
    # NOTE: Firefox shows WebGL2 only in a window on an X display, and plays
    # only to a sound server; both are private to the run and stopped after it.
    test) scripts/with-display-and-sound.sh node --test tests/web/*.test.mjs ;;
    serve)
        # The address is announced only once the server holds the port.
        exec python3 - "$port" build-web/site <<'EOF'
import functools
import http.server
import sys

port, folder = int(sys.argv[1]), sys.argv[2]


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


try:
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Quiet, directory=folder))
except OSError as error:
    sys.exit(f"web: cannot serve on 127.0.0.1:{port}: {error.strerror} (scripts/web.sh --port N takes another)")
print(f"web: the show is at http://127.0.0.1:{port}/ (Ctrl+C stops the server)", flush=True)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
EOF
        ;;
esac
