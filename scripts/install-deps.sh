#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the show needs, only those missing.
#   scripts/install-deps.sh [what ...]
# Always what building and playing needs; and for each of what:
#   --test      what the tests need
#   --fuzz      what the fuzz targets need (clang, and the tests' packages)
#   --package   what making and checking the Debian package needs
#   --web       what the browser build needs (Emscripten, npm)
#   --browser   what the browser's tests need (Chromium; Firefox ESR, with an
#               X server and a sound server to give it WebGL2 and audio)
#   --format    what checking the code's formatting needs (clang-format)
# As root it runs apt-get; otherwise it prints the apt-get line to run.
set -euo pipefail

packages=(g++ make cmake pkg-config freeglut3-dev libglu1-mesa-dev libgl-dev libgl1-mesa-dri
          libx11-dev libxrandr-dev libopenmpt-dev libsdl2-dev libpng-dev)
# weston and xwayland: the show under a Wayland desktop's X server
testing=(libgtest-dev libgmock-dev xvfb xauth xdotool x11-utils imagemagick xmp ffmpeg weston
         xwayland procps)
for what in "$@"; do
    case $what in
        --test) packages+=("${testing[@]}") ;;
        --fuzz) packages+=("${testing[@]}" clang libclang-rt-dev) ;;
        --package) packages+=(dpkg-dev file lintian) ;;
        # npm only where node came without it
        --web) packages+=(emscripten); command -v npm >/dev/null || packages+=(npm) ;;
        --browser) packages+=(chromium firefox-esr xvfb xauth pulseaudio) ;;
        --format) packages+=(clang-format) ;;
        *)
            echo "install-deps: unknown choice $what" >&2
            exit 2
            ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    echo "install-deps: missing packages; run as root:" >&2
    echo "  apt-get update && $line" >&2
    exit 1
fi
echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$line -qq >/dev/null
