#!/usr/bin/env bash
# Makes the Debian package and checks it: a Release build without tests in
# build-package/ for /usr, cpack's DEB generator, then lintian. The programs
# go to /usr/games, where Debian keeps the programs of its games section.
#   scripts/package.sh   -> build-package/boxdemo_<version>_<architecture>.deb
# Installs what is missing first (scripts/install-deps.sh --package). Fails
# when lintian reports an error; its warnings are shown.
#
# The same commit gives the same bytes, in any folder: the archive's times
# are the last commit's (SOURCE_DATE_EPOCH, unless already set), and the
# folder's path is kept out of the programs. A plain `cpack` in another build
# refuses (packaging/package_check.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."
build="build-package"

if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
        { echo "package.sh: not a git checkout; set SOURCE_DATE_EPOCH to the release's time" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH

scripts/install-deps.sh --package
# Debian's hardening for programs: checked string and memory functions, stack
# protection, and a read-only relocation table bound at start.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
    -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat -Werror=format-security -ffile-prefix-map=$PWD=." \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/boxdemo_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/boxdemo_*.deb)
lintian --fail-on error "$deb"
echo "package.sh: $deb"
