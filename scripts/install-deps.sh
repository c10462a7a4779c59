#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the show needs, only those missing.
#   scripts/install-deps.sh          what building and playing needs
#   scripts/install-deps.sh --test   also what the tests need
#   scripts/install-deps.sh --fuzz   also what the fuzz targets need (clang)
#   scripts/install-deps.sh --package  also what making and checking the
#                                      Debian package needs
# As root it runs apt-get; otherwise it prints the apt-get line to run.
set -euo pipefail

packages=(g++ make cmake pkg-config freeglut3-dev libglu1-mesa-dev libgl-dev libgl1-mesa-dri
          libopenmpt-dev libsdl2-dev libpng-dev)
if [[ "${1:-}" == "--test" || "${1:-}" == "--fuzz" ]]; then
    packages+=(libgtest-dev libgmock-dev xvfb xauth xdotool x11-utils imagemagick xmp ffmpeg)
fi
if [[ "${1:-}" == "--fuzz" ]]; then
    packages+=(clang libclang-rt-dev)
fi
if [[ "${1:-}" == "--package" ]]; then
    packages+=(dpkg-dev file lintian)
fi

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
