#!/usr/bin/env bash
# Soak run: the real program plays a module that never reaches order 12 (see
# make_soak_song.cpp) for a long time under X with SDL's dummy audio driver,
# its resident memory sampled every 10 s; then a key ends it.
#   bench/soak.sh [build directory, default build] [seconds, default 600]
# Passes when the memory resident after the first minute has grown by less
# than 1 MiB at the end, the program was alive throughout, and the key ended
# it with status 0. Uses $DISPLAY, or starts its own Xvfb when none is set.
set -euo pipefail
cd "$(dirname "$0")/.."
# Without a display, the whole run goes on under a private Xvfb.
if [[ -z "${DISPLAY:-}" ]]; then exec scripts/with-display.sh bench/soak.sh "$@"; fi
build=${1:-build}
seconds=${2:-600}
root=$PWD

cmake --build "$build" --target demo make-soak-song demo_assets >/dev/null
run=$(mktemp -d /tmp/demo-soak-XXXXXX)
cp "$build/fontpre.tga" "$run/"
"$build/bench/make-soak-song" "$run/demosong.it"

cleanup() {
    [[ -n "${demo:-}" ]] && kill "$demo" 2>/dev/null || true
    rm -rf "$run"
}
trap cleanup EXIT

export SDL_AUDIODRIVER=dummy

(cd "$run" && exec "$root/$build/demo") 2>"$run/errors" &
demo=$!
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$demo/status"; }

start=$SECONDS
after_minute=""
peak=0
echo "soak: pid $demo, ${seconds}s; resident memory (KiB) every 10 s:"
while (( SECONDS - start < seconds )); do
    sleep 10
    if ! kill -0 "$demo" 2>/dev/null; then
        echo "soak: FAILED: the program ended by itself after $((SECONDS - start))s"
        cat "$run/errors"
        exit 1
    fi
    now=$(rss)
    [[ -z "${first:-}" ]] && first=$now
    (( now > peak )) && peak=$now
    (( SECONDS - start >= 60 )) && [[ -z "$after_minute" ]] && after_minute=$now
    printf '  %4ds %7d\n' $((SECONDS - start)) "$now"
done
final=$(rss)
# A run shorter than a minute measures from its first sample.
[[ -z "$after_minute" ]] && after_minute=$first
cpu=$(awk '{ print ($14 + $15) / 100 }' "/proc/$demo/stat")

window=$(xdotool search --sync --onlyvisible --pid "$demo" --name '^boxdemo$' | head -n1)
xdotool windowfocus --sync "$window" key x
status=timeout
for _ in $(seq 200); do
    if ! kill -0 "$demo" 2>/dev/null; then
        wait "$demo" && status=0 || status=$?
        break
    fi
    sleep 0.1
done
demo=""

growth=$((final - after_minute))
echo "soak: resident after 60 s ${after_minute} KiB, at the end ${final} KiB (growth ${growth} KiB)," \
    "peak ${peak} KiB; ${cpu} s of CPU; exit status after the key: ${status}"
grep -v "playing in a 640x480 window" "$run/errors" || true
if (( growth >= 1024 )) || [[ "$status" != 0 ]]; then
    echo "soak: FAILED"
    exit 1
fi
echo "soak: passed"
