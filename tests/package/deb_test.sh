#!/usr/bin/env bash
# The Debian package, as root on a fresh machine: made and checked by
# scripts/package.sh, made again from a copy of the same commit in another
# folder (the two must be byte-identical), installed with apt-get, played
# once on the short test module from an empty folder, then removed and
# purged, after which nothing of it may be left. Fails with a one-line
# reason.
#   tests/package/deb_test.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

fail() {
    echo "deb_test: FAILED: $*" >&2
    exit 1
}
# Runs a command silently, showing its output only when it fails.
quietly() {
    local output
    output=$("$@" 2>&1) || { echo "$output" >&2; return 1; }
}

[[ $(id -u) -eq 0 ]] || fail "run it as root: it installs and removes the package"
dpkg-query -W -f='${Status}' boxdemo 2>/dev/null | grep -q "install ok installed" &&
    fail "boxdemo is installed already; remove it first (apt-get remove boxdemo)"
scripts/install-deps.sh --test  # Xvfb for the run
scripts/package.sh || fail "scripts/package.sh failed (build, cpack or a lintian error)"
debs=(build-package/boxdemo_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one build-package/boxdemo_*.deb"

# The same commit in another folder gives the same bytes; compared only when
# the working tree is that commit.
if [[ -z $(git status --porcelain --untracked-files=no) ]]; then
    copy=$(mktemp -d)
    git clone -q --no-hardlinks "$root" "$copy/boxdemo"
    (cd "$copy/boxdemo" && quietly scripts/package.sh) || { rm -rf "$copy"; fail "the second build failed"; }
    cmp -s "${debs[0]}" "$copy/boxdemo/${debs[0]}" ||
        { rm -rf "$copy"; fail "two builds of the same commit made different packages"; }
    rm -rf "$copy"
else
    echo "deb_test: uncommitted changes; the second build's package is not compared" >&2
fi

export DEBIAN_FRONTEND=noninteractive
quietly apt-get install -y "./${debs[0]}" || fail "apt-get could not install ${debs[0]}"
mapfile -t owned < <(dpkg -L boxdemo)
(( ${#owned[@]} > 0 )) || fail "dpkg -L boxdemo lists nothing"

# The short test module in place of the installed song for one run; the song
# is put back before anything is checked.
song=/usr/share/boxdemo/demosong.it
work=$(mktemp -d)
cp -p "$song" "$work/demosong.it"
restore() { [[ -f $work/demosong.it ]] && cp -p "$work/demosong.it" "$song"; rm -rf "$work"; }
trap restore EXIT
cp build-package/testdata/demosong.it "$song"
mkdir "$work/empty"
status=0
(cd "$work/empty" && SDL_AUDIODRIVER=dummy timeout 120 "$root/scripts/with-display.sh" \
    /usr/games/boxdemo) || status=$?
restore
trap - EXIT
(( status == 0 )) || fail "the installed boxdemo exited with status $status on the test module"
dpkg --verify boxdemo || fail "the installed files differ from the package's after the run"

quietly apt-get remove -y boxdemo || fail "apt-get remove boxdemo failed"
# Without configuration files the removal forgets the package already; a
# purge is left to do only where dpkg still knows it.
if dpkg-query -W boxdemo >/dev/null 2>&1; then
    quietly apt-get purge -y boxdemo || fail "apt-get purge boxdemo failed"
fi
dpkg-query -W boxdemo >/dev/null 2>&1 && fail "dpkg still knows boxdemo after the purge"
# Every file of the package is gone, and every folder of its own; folders it
# shared (/usr/share/man, ...) stay.
for path in "${owned[@]}"; do
    if [[ -e $path || -L $path ]] && { [[ ! -d $path ]] || [[ $path == *boxdemo* ]]; }; then
        fail "$path is left after removing the package"
    fi
done
echo "deb_test: ${debs[0]} installed, played, removed and purged cleanly"
